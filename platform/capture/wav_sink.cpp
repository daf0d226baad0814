#include "platform/capture/wav_sink.h"

namespace capture {

bool WavSink::fail() {
  error_ = "cannot write ";
  error_.append(target_.string());
  error_.append(": ");
  error_.append(wav_.error());
  return false;
}

bool WavSink::open(const std::filesystem::path& target, std::uint64_t frames) {
  target_ = target;
  return wav_.open(target, sound_rate, frames) || fail();
}

bool WavSink::sound(const std::int16_t* samples, std::size_t frames) {
  return wav_.write(samples, frames) || fail();
}

bool WavSink::finish() { return wav_.finish() || fail(); }

}  // namespace capture
