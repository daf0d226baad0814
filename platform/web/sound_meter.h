// What the page's sound output delivered: how many frames, and how loud in each second of them, so
// that the page can tell whether the music sounded from start to end. Also the step from the
// music's 16-bit stereo frames to the two float channels Web Audio takes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace web_platform {

// Splits `frames` interleaved stereo frames into the two channels, each sample scaled from
// -32768..32767 to -1..1 (divided by 32768, as Web Audio reads 16-bit sound).
void to_float_channels(const std::int16_t* samples, std::size_t frames, float* left, float* right);

class SoundMeter {
 public:
  // Windows of `window_frames` frames each (a second at the output's rate); at least 1.
  explicit SoundMeter(std::size_t window_frames = 44100);

  // Counts `frames` interleaved stereo frames.
  void add(const std::int16_t* samples, std::size_t frames);

  std::int64_t frames() const { return frames_; }
  // The largest sample magnitude seen, 0 to 32768.
  int peak() const { return peak_; }
  // Whole windows measured so far; those beyond the capacity are counted but not kept.
  std::size_t windows() const { return windows_; }
  // Root mean square of both channels over window `index` (kept windows only), 0 to 32768; 0 for a
  // window not kept.
  double window_rms(std::size_t index) const;

  static constexpr std::size_t capacity = 1200;  // twenty minutes of one-second windows

 private:
  std::size_t window_frames_;
  std::int64_t frames_ = 0;
  int peak_ = 0;
  std::size_t windows_ = 0;
  std::size_t in_window_ = 0;  // frames of the window being measured
  double window_sum_ = 0;      // of squared samples in it
  std::array<float, capacity> rms_{};
};

}  // namespace web_platform
