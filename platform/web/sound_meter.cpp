#include "platform/web/sound_meter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace web_platform {

void to_float_channels(const std::int16_t* samples, std::size_t frames, float* left, float* right) {
  constexpr float full_scale = 32768.0f;
  for (std::size_t i = 0; i < frames; ++i) {
    left[i] = static_cast<float>(samples[2 * i]) / full_scale;
    right[i] = static_cast<float>(samples[2 * i + 1]) / full_scale;
  }
}

SoundMeter::SoundMeter(std::size_t window_frames)
    : window_frames_(std::max<std::size_t>(1, window_frames)) {}

void SoundMeter::add(const std::int16_t* samples, std::size_t frames) {
  for (std::size_t i = 0; i < frames; ++i) {
    for (int channel = 0; channel < 2; ++channel) {
      const int sample = samples[2 * i + static_cast<std::size_t>(channel)];
      peak_ = std::max(peak_, std::abs(sample));
      window_sum_ += static_cast<double>(sample) * sample;
    }
    if (++in_window_ == window_frames_) {
      if (windows_ < capacity) {
        rms_[windows_] = static_cast<float>(
            std::sqrt(window_sum_ / (2.0 * static_cast<double>(window_frames_))));
      }
      ++windows_;
      in_window_ = 0;
      window_sum_ = 0;
    }
  }
  frames_ += static_cast<std::int64_t>(frames);
}

double SoundMeter::window_rms(std::size_t index) const {
  return index < windows_ && index < capacity ? rms_[index] : 0.0;
}

}  // namespace web_platform
