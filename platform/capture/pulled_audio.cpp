#include "platform/capture/pulled_audio.h"

#include <algorithm>

#include "platform/capture/media_sink.h"

namespace capture {

bool PulledAudio::open(int rate, audio::Fill fill, void* context) {
  if (rate != sound_rate || fill == nullptr) return false;
  fill_ = fill;
  context_ = context;
  started_ = false;
  return true;
}

void PulledAudio::start() { started_ = fill_ != nullptr; }

void PulledAudio::close() {
  started_ = false;
  fill_ = nullptr;
  context_ = nullptr;
}

void PulledAudio::pull(std::int16_t* samples, std::size_t frames) {
  if (started_) {
    fill_(context_, samples, frames);
  } else {
    std::fill(samples, samples + 2 * frames, std::int16_t{0});
  }
}

}  // namespace capture
