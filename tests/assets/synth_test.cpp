// The song's sound building blocks against the C library's functions, and the instruments'
// samples as a player meets them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tools/generate_assets/song_instruments.h"
#include "tools/generate_assets/synth.h"

namespace {

TEST(Synth, SineFollowsTheLibrarySineOverManyTurns) {
  for (int i = -40000; i <= 40000; ++i) {
    const double turns = i * 0.000137;  // not a round fraction of a turn
    // The library's argument 2 pi turns carries a rounding error that grows with the turns.
    ASSERT_NEAR(synth::sine_turns(turns), std::sin(2.0 * synth::pi * turns),
                4e-15 * (1.0 + std::fabs(turns)))
        << turns;
  }
  for (double turns : {0.0, 0.25, 0.5, 0.75, 1.0, -0.25, 1000.25}) {
    EXPECT_NEAR(synth::sine_turns(turns), std::sin(2.0 * synth::pi * turns), 1e-12) << turns;
  }
  EXPECT_NEAR(synth::sine_turns(0.25), 1.0, 1e-15);
  EXPECT_NEAR(synth::sine_turns(-0.25), -1.0, 1e-15);
}

TEST(Synth, ExponentialFollowsTheLibraryExponential) {
  for (int i = -7000; i <= 7000; ++i) {
    const double x = i * 0.0123;
    ASSERT_NEAR(synth::exp_of(x) / std::exp(x), 1.0, 1e-14) << x;
  }
  EXPECT_EQ(synth::exp_of(0.0), 1.0);
  EXPECT_NEAR(synth::semitones(12), 2.0, 1e-15);
  EXPECT_NEAR(synth::rate_at_c4(0), 8363.0, 1e-9);
  EXPECT_NEAR(synth::rate_at_c4(24), 4 * 8363.0, 1e-9);
}

TEST(Synth, DecayFallsByETimesEveryTimeConstant) {
  synth::Decay d(3.0, 100.0);
  EXPECT_EQ(d.next(), 3.0);
  double v = 0;
  for (int i = 0; i < 100; ++i) v = d.next();
  EXPECT_NEAR(v, 3.0 / std::exp(1.0), 1e-12);
}

TEST(Synth, OnePoleSplitsLowFromHigh) {
  const double rate = 44100;
  synth::OnePole low(200, rate), high(200, rate);
  double low_peak = 0, high_peak = 0;
  for (int i = 0; i < 44100; ++i) {
    const double x = std::sin(2.0 * synth::pi * 8000.0 * i / rate);
    if (i > 4410) {
      low_peak = std::fmax(low_peak, std::fabs(low.low(x)));
      high_peak = std::fmax(high_peak, std::fabs(high.high(x)));
    } else {
      low.low(x), high.high(x);
    }
  }
  EXPECT_LT(low_peak, 0.05);  // 8 kHz is far above the corner
  EXPECT_GT(high_peak, 0.95);
}

TEST(Synth, Pcm16ScalesTheLargestMagnitudeToThePeakAndRounds) {
  const auto pcm = synth::to_pcm16({0.0, -2.0, 1.0, 0.5, 1e-9}, 0.5);
  ASSERT_EQ(pcm.size(), 5u);
  EXPECT_EQ(pcm[0], 0);
  EXPECT_EQ(pcm[1], -16383);  // -16383.5 rounded half up
  EXPECT_EQ(pcm[2], 8192);
  EXPECT_EQ(pcm[3], 4096);
  EXPECT_EQ(pcm[4], 0);
  const auto full = synth::to_pcm16({-1.0, 1.0}, 1.0);
  EXPECT_EQ(full[0], -32767);
  EXPECT_EQ(full[1], 32767);
  EXPECT_EQ(synth::to_pcm16({0.0, 0.0}, 1.0), (std::vector<std::int16_t>{0, 0}));
  EXPECT_TRUE(synth::to_pcm16({}, 1.0).empty());
}

TEST(Synth, SoftClipStaysInsideAndKeepsSmallSignals) {
  EXPECT_NEAR(synth::soft_clip(0.01), 0.01, 1e-5);
  EXPECT_LT(synth::soft_clip(100.0), 1.0);
  EXPECT_GT(synth::soft_clip(-100.0), -1.0);
  EXPECT_EQ(synth::soft_clip(-0.3), -synth::soft_clip(0.3));
}

// A looped sample must join without a click: the step from its last frame back to its first is
// no larger than the steps inside it. One-shot samples must start from near silence and fade out
// instead of stopping dead.
TEST(Instruments, LoopsJoinSmoothlyAndOneShotsFadeOut) {
  const auto instruments = song_instruments();
  ASSERT_EQ(instruments.size(), static_cast<std::size_t>(voice_count));
  for (const xm::Instrument& in : instruments) {
    SCOPED_TRACE(in.name);
    ASSERT_GT(in.sample.size(), 64u);
    int largest_step = 0, peak = 0;
    for (std::size_t i = 1; i < in.sample.size(); ++i) {
      largest_step = std::max(largest_step, std::abs(in.sample[i] - in.sample[i - 1]));
    }
    for (std::int16_t s : in.sample) peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_GT(peak, 20000) << "samples use most of the 16 bits";
    if (in.looped) {
      ASSERT_EQ(in.loop_start + in.loop_length, in.sample.size());
      const int join = std::abs(in.sample[in.loop_start] - in.sample.back());
      EXPECT_LE(join, largest_step);
    } else {
      EXPECT_LT(std::abs(static_cast<int>(in.sample[0])), peak / 50) << "starts with a click";
      const std::size_t tail = in.sample.size() - in.sample.size() / 50;
      for (std::size_t i = tail; i < in.sample.size(); ++i) {
        ASSERT_LT(std::abs(static_cast<int>(in.sample[i])), peak / 10) << "frame " << i;
      }
    }
    EXPECT_FALSE(in.volume_envelope.points.empty());
  }
}

}  // namespace
