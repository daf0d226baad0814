#include "platform/capture/wav_sink.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/audio/wav_header.h"
#include "platform/capture/partial_file.h"

namespace capture {
namespace {

// The RIFF header for `data_bytes` of samples.
std::array<std::uint8_t, audio::wav_header_bytes> header(std::uint32_t data_bytes) {
  return audio::wav_header(sound_rate, data_bytes);
}

}  // namespace

WavSink::~WavSink() { abandon(); }

bool WavSink::fail(const char* reason) {
  error_ = "cannot write ";
  error_.append(target_.string());
  error_.append(": ");
  error_.append(reason);
  abandon();
  return false;
}

bool WavSink::open(const std::filesystem::path& target) {
  target_ = target;
  std::string reason;
  const int descriptor = create_partial(target, partial_, reason);
  if (descriptor < 0) {
    partial_.clear();
    return fail(reason.c_str());
  }
  file_ = fdopen(descriptor, "wb");
  if (file_ == nullptr) {
    ::close(descriptor);
    return fail(std::strerror(errno));
  }
  const auto h = header(0);
  if (std::fwrite(h.data(), 1, h.size(), file_) != h.size()) return fail(std::strerror(errno));
  return true;
}

bool WavSink::sound(const std::int16_t* samples, std::size_t frames) {
  if (file_ == nullptr) return fail("not open");
  for (std::size_t done = 0; done < frames;) {
    const std::size_t count = std::min(frames - done, bytes_.size() / 4);
    audio::wav_samples(samples + done * 2, count * 2, bytes_.data());
    if (std::fwrite(bytes_.data(), 4, count, file_) != count) return fail(std::strerror(errno));
    data_bytes_ += static_cast<std::uint32_t>(count * 4);
    done += count;
  }
  return true;
}

bool WavSink::finish() {
  if (file_ == nullptr) return fail("not open");
  const auto h = header(data_bytes_);
  if (std::fseek(file_, 0, SEEK_SET) != 0 ||
      std::fwrite(h.data(), 1, h.size(), file_) != h.size()) {
    return fail(std::strerror(errno));
  }
  std::FILE* file = file_;
  file_ = nullptr;
  if (std::fclose(file) != 0) return fail(std::strerror(errno));  // the last bytes go out here
  std::string reason;
  if (!put_in_place(partial_, target_, reason)) {
    partial_.clear();
    return fail(reason.c_str());
  }
  partial_.clear();
  return true;
}

void WavSink::abandon() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!partial_.empty()) std::remove(partial_.c_str());
  partial_.clear();
}

}  // namespace capture
