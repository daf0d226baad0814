// The module as reference players hear it: loud throughout without clipping, ending where the
// song-length model says, and looping back into the song the way it first played there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/assets/generated_files.h"
#include "tests/assets/reference_render.h"
#include "tests/assets/xm_reader.h"
#include "tests/assets/xm_timeline.h"

namespace {

constexpr std::size_t rate = 44100;

const Rendering& by_openmpt() {
  static const Rendering r = render_with_openmpt(generated_path("theme2.xm"));
  return r;
}

TEST(ModuleRendering, IsLoudThroughoutAndNeverClips) {
  const Rendering& r = by_openmpt();
  ASSERT_EQ(r.error, "");
  EXPECT_GT(rms_db(r, 0, r.frame_count()), -30.0) << "too quiet overall";
  // The quietest second is the intro's first pad.
  for (std::size_t second = 0; second + 1 < r.frame_count() / rate; ++second) {
    EXPECT_GT(rms_db(r, second * rate, rate), -45.0) << "near silence in second " << second;
  }
  // Clipping: three samples in a row at full scale in one channel.
  int peak = 0;
  for (std::size_t channel = 0; channel < 2; ++channel) {
    int run = 0;
    for (std::size_t i = channel; i < r.samples.size(); i += 2) {
      const int magnitude = std::abs(int{r.samples[i]});
      peak = std::max(peak, magnitude);
      run = magnitude >= 32767 ? run + 1 : 0;
      ASSERT_LT(run, 3) << "clipping at frame " << i / 2;
    }
  }
  // Headroom for players that mix louder than this one.
  EXPECT_LT(peak, 32767 * 3 / 4);
  EXPECT_GT(peak, 32767 / 4);
}

// Both players and the model count a whole number of frames a tick, so they agree to the frame.
TEST(ModuleRendering, EndsWhereTheSongModelSays) {
  const xmfile::ReadResult read = xmfile::read_module(generated("theme2.xm"));
  ASSERT_TRUE(read.ok()) << read.error->text();
  const xmfile::SongTimeline model = xmfile::play_through(read.module, rate);
  ASSERT_EQ(model.error, "");
  for (const Rendering& r : {by_openmpt(), render_with_xmp(generated_path("theme2.xm"))}) {
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(static_cast<std::int64_t>(r.frame_count()), model.frames);
  }
}

// Loudness in 50 ms windows over [first, first + count) frames.
std::vector<double> loudness(const Rendering& r, std::size_t first, std::size_t count) {
  std::vector<double> out;
  for (std::size_t at = first; at + rate / 20 <= first + count; at += rate / 20) {
    out.push_back(rms_db(r, at, rate / 20));
  }
  return out;
}

double correlation(const std::vector<double>& a, const std::vector<double>& b) {
  const std::size_t n = std::min(a.size(), b.size());
  double ma = 0, mb = 0, ab = 0, aa = 0, bb = 0;
  for (std::size_t i = 0; i < n; ++i) ma += a[i] / n, mb += b[i] / n;
  for (std::size_t i = 0; i < n; ++i) {
    ab += (a[i] - ma) * (b[i] - mb);
    aa += (a[i] - ma) * (a[i] - ma);
    bb += (b[i] - mb) * (b[i] - mb);
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}

// xmp follows the module's restart position when asked to loop.
TEST(ModuleRendering, LoopsBackIntoTheSongWithoutAGap) {
  const std::string path = generated_path("theme2.xm");
  const int restart = generated("theme2.xm").at(66);  // low byte of the restart position
  const Rendering single = render_with_xmp(path);
  const Rendering from_restart = render_with_xmp(path, "-s " + std::to_string(restart));
  const std::size_t end = single.frame_count();
  const Rendering looped = render_with_xmp(path, "-l -t " + std::to_string(end / rate + 8));
  ASSERT_EQ(single.error + from_restart.error + looped.error, "");
  ASSERT_GE(looped.frame_count(), end + 6 * rate);
  EXPECT_GT(from_restart.frame_count(), 60 * rate) << "the loop leaves out most of the song";
  EXPECT_TRUE(std::equal(single.samples.begin(), single.samples.end(), looped.samples.begin()))
      << "the first pass should not depend on looping";
  // No gap: every 50 ms from a second before the join to two seconds after has sound.
  for (double db : loudness(looped, end - rate, 3 * rate)) EXPECT_GT(db, -40.0);
  // After the join the loudness follows a fresh start at the restart position.
  EXPECT_GT(correlation(loudness(from_restart, 0, 6 * rate), loudness(looped, end, 6 * rate)),
            0.95);
}

}  // namespace
