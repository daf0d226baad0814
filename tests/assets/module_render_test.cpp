// The module as a reference player hears it: long enough, never silent, never clipping, and
// looping back into the song the way it first played there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/assets/generated_files.h"
#include "tests/assets/reference_render.h"
#include "tests/assets/xm_reader.h"
#include "tests/assets/xm_timeline.h"

namespace {

constexpr int rate = 44100;

class ModuleRendering : public ::testing::Test {
 protected:
  void SetUp() override {
    if (player_path("openmpt123").empty()) GTEST_SKIP() << "openmpt123 is not installed";
  }
  static const Rendering& once() {
    static const Rendering r = render_with_openmpt(generated_path("theme2.xm"));
    return r;
  }
};

// xmp follows the module's restart position when asked to loop.
class ModuleLooping : public ::testing::Test {
 protected:
  void SetUp() override {
    if (player_path("xmp").empty()) GTEST_SKIP() << "xmp is not installed";
  }
};

// Loudness in 50 ms windows over [first, first + count) frames.
std::vector<double> loudness(const Rendering& r, std::size_t first, std::size_t count) {
  const std::size_t window = rate / 20;
  std::vector<double> out;
  for (std::size_t at = first; at + window <= first + count; at += window) {
    out.push_back(rms_db(r, at, window));
  }
  return out;
}

double correlation(const std::vector<double>& a, const std::vector<double>& b) {
  const std::size_t n = std::min(a.size(), b.size());
  double ma = 0, mb = 0;
  for (std::size_t i = 0; i < n; ++i) ma += a[i], mb += b[i];
  ma /= n, mb /= n;
  double ab = 0, aa = 0, bb = 0;
  for (std::size_t i = 0; i < n; ++i) {
    ab += (a[i] - ma) * (b[i] - mb);
    aa += (a[i] - ma) * (a[i] - ma);
    bb += (b[i] - mb) * (b[i] - mb);
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}

TEST_F(ModuleRendering, PlaysForAtLeastNinetySecondsAndNeverFallsSilent) {
  const Rendering& r = once();
  ASSERT_EQ(r.error, "");
  ASSERT_EQ(r.rate, rate);
  EXPECT_GE(r.seconds(), 90.0);
  EXPECT_GT(rms_db(r, 0, r.frame_count()), -30.0) << "too quiet overall";
  // Every second has music in it; the quietest is the intro's first pad.
  for (std::size_t second = 0; second + 1 < r.frame_count() / rate; ++second) {
    EXPECT_GT(rms_db(r, second * rate, rate), -45.0) << "near silence in second " << second;
  }
}

// The player ends where the song model says the order list runs out, to the frame: both count a
// whole number of frames a tick.
TEST_F(ModuleRendering, EndsWhereTheSongModelSays) {
  const Rendering& r = once();
  ASSERT_EQ(r.error, "");
  const xmfile::ReadResult read = xmfile::read_module(generated("theme2.xm"));
  ASSERT_TRUE(read.ok()) << read.error->text();
  const xmfile::SongTimeline timeline = xmfile::play_through(read.module, rate);
  ASSERT_EQ(timeline.error, "");
  EXPECT_EQ(static_cast<std::int64_t>(r.frame_count()), timeline.frames);
}

TEST_F(ModuleRendering, NeverClips) {
  const Rendering& r = once();
  ASSERT_EQ(r.error, "");
  // A clipping run: three or more samples in a row at full scale in one channel.
  int peak = 0;
  for (int channel = 0; channel < 2; ++channel) {
    int run = 0;
    for (std::size_t i = static_cast<std::size_t>(channel); i < r.frames.size(); i += 2) {
      const int magnitude = std::abs(static_cast<int>(r.frames[i]));
      peak = std::max(peak, magnitude);
      run = magnitude >= 32767 ? run + 1 : 0;
      ASSERT_LT(run, 3) << "clipping at frame " << i / 2 << ", channel " << channel;
    }
  }
  // Headroom for players that mix louder than this one.
  EXPECT_LT(peak, 32767 / 2 * 3 / 2) << "peak " << peak;
  EXPECT_GT(peak, 32767 / 4) << "peak " << peak;
}

TEST_F(ModuleLooping, BothPlayersAgreeOnTheLength) {
  if (player_path("openmpt123").empty()) GTEST_SKIP() << "openmpt123 is not installed";
  const Rendering a = render_with_openmpt(generated_path("theme2.xm"));
  const Rendering b = render_with_xmp(generated_path("theme2.xm"));
  ASSERT_EQ(a.error, "");
  ASSERT_EQ(b.error, "");
  EXPECT_NEAR(static_cast<double>(a.frame_count()), static_cast<double>(b.frame_count()),
              rate * 2.5 / 140);
}

// Looping from the end of the order list, the song goes on without a gap and sounds as it did
// when it first reached its restart position.
TEST_F(ModuleLooping, LoopsBackIntoTheSongCleanly) {
  const std::string path = generated_path("theme2.xm");
  const Bytes& module = generated("theme2.xm");
  ASSERT_GT(module.size(), 80u);
  const int restart = module[66] | module[67] << 8;

  const Rendering single = render_with_xmp(path);
  const Rendering from_restart = render_with_xmp(path, "-s " + std::to_string(restart));
  ASSERT_EQ(single.error, "");
  ASSERT_EQ(from_restart.error, "");
  const std::size_t end = single.frame_count();
  ASSERT_LT(from_restart.frame_count(), end);
  EXPECT_GT(from_restart.frame_count(), static_cast<std::size_t>(60 * rate))
      << "the loop leaves out most of the song";

  const int seconds = static_cast<int>(end / rate) + 8;
  const Rendering looped = render_with_xmp(path, "-l -t " + std::to_string(seconds));
  ASSERT_EQ(looped.error, "");
  ASSERT_GE(looped.frame_count(), end + 6 * rate);
  EXPECT_TRUE(std::equal(single.frames.begin(), single.frames.end(), looped.frames.begin()))
      << "the first pass should not depend on looping";

  // No gap across the join: every 50 ms from a second before it to two seconds after has sound.
  for (double db : loudness(looped, end - rate, 3 * rate)) EXPECT_GT(db, -40.0);

  // After the join the loudness follows a fresh start at the restart position.
  EXPECT_GT(correlation(loudness(from_restart, 0, 6 * rate), loudness(looped, end, 6 * rate)),
            0.95);
}

}  // namespace
