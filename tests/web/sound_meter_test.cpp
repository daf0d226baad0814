// What the page's sound output reports: frames counted across blocks of any size, the peak (the
// most negative sample included), the loudness of each whole window whatever the block sizes, the
// windows beyond its capacity counted but not kept; and the float channels Web Audio takes.
#include "platform/web/sound_meter.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

using web_platform::SoundMeter;

// `frames` stereo frames of a square wave of `amplitude` (left) and half of it (right): each
// window's root mean square over both channels is sqrt((a^2 + (a/2)^2) / 2).
std::vector<std::int16_t> square(std::size_t frames, int amplitude) {
  std::vector<std::int16_t> samples(2 * frames);
  for (std::size_t i = 0; i < frames; ++i) {
    const int sign = i % 2 == 0 ? 1 : -1;
    samples[2 * i] = static_cast<std::int16_t>(sign * amplitude);
    samples[2 * i + 1] = static_cast<std::int16_t>(sign * amplitude / 2);
  }
  return samples;
}

double expected_rms(int amplitude) {
  const double a = amplitude;
  return std::sqrt((a * a + (a / 2) * (a / 2)) / 2);
}

TEST(SoundMeter, WindowsWholeWhateverTheBlocks) {
  struct Case {
    std::size_t window;
    std::vector<std::size_t> blocks;
    std::size_t whole_windows;
  };
  // A window of no frames is one frame.
  const Case cases[] = {
      {100, {100, 100, 100}, 3}, {100, {37, 63, 250}, 3}, {100, {99}, 0},
      {100, {1000}, 10},         {0, {5, 3}, 8},          {100, {}, 0},
  };
  for (const Case& c : cases) {
    SoundMeter meter(c.window);
    std::size_t total = 0;
    for (const std::size_t block : c.blocks) {
      meter.add(square(block, 1000).data(), block);
      total += block;
    }
    EXPECT_EQ(meter.frames(), static_cast<std::int64_t>(total));
    EXPECT_EQ(meter.windows(), c.whole_windows);
    for (std::size_t w = 0; w < c.whole_windows; ++w) {
      EXPECT_NEAR(meter.window_rms(w), expected_rms(1000), 1e-3) << "window " << w;
    }
    EXPECT_EQ(meter.window_rms(c.whole_windows), 0.0);
  }
}

TEST(SoundMeter, EachWindowItsOwnLoudnessAndThePeak) {
  SoundMeter meter(50);
  for (const int amplitude : {20000, 0, 400}) meter.add(square(50, amplitude).data(), 50);
  ASSERT_EQ(meter.windows(), 3u);
  EXPECT_NEAR(meter.window_rms(0), expected_rms(20000), 1e-2);
  EXPECT_EQ(meter.window_rms(1), 0.0);
  EXPECT_NEAR(meter.window_rms(2), expected_rms(400), 1e-3);
  EXPECT_EQ(meter.peak(), 20000);
  const std::int16_t extremes[] = {100, -32768, 32767, 5};
  meter.add(extremes, 2);
  EXPECT_EQ(meter.peak(), 32768);
}

TEST(SoundMeter, WindowsBeyondCapacityCountedNotKept) {
  SoundMeter meter(1);
  meter.add(square(SoundMeter::capacity + 3, 64).data(), SoundMeter::capacity + 3);
  EXPECT_EQ(meter.windows(), SoundMeter::capacity + 3);
  EXPECT_GT(meter.window_rms(SoundMeter::capacity - 1), 0.0);
  EXPECT_EQ(meter.window_rms(SoundMeter::capacity), 0.0);
}

TEST(FloatChannels, SplitAndScaledAsWebAudioReads) {
  const std::int16_t samples[] = {0, -32768, 16384, 32767, -1, 1};
  std::array<float, 3> left{};
  std::array<float, 3> right{};
  web_platform::to_float_channels(samples, 3, left.data(), right.data());
  EXPECT_EQ(left, (std::array<float, 3>{0.0f, 0.5f, -1.0f / 32768}));
  EXPECT_EQ(right, (std::array<float, 3>{-1.0f, 32767.0f / 32768, 1.0f / 32768}));
}

}  // namespace
