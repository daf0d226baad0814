// The theme song read back by a strict reader of our own, walked by the song-length model and
// heard by reference players: a whole XM file whose instruments sound and die away without clicks,
// and a song loud throughout without clipping that plays every section for at least a minute and a
// half and then comes round to its first verse the way it first played there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/assets/generated_files.h"
#include "tests/assets/reference_render.h"
#include "tests/assets/xm_reader.h"
#include "tests/assets/xm_timeline.h"

namespace {

constexpr std::size_t rate = 44100;

const xmfile::ReadResult& theme() {
  static const xmfile::ReadResult read = xmfile::read_module(generated("theme2.xm"));
  return read;
}

TEST(ThemeSong, IsOneWholeXmFileForTheLinearFrequencyTable) {
  ASSERT_TRUE(theme().ok()) << theme().error->text();
  EXPECT_EQ(theme().module.consumed, generated("theme2.xm").size()) << "bytes after the song";
  EXPECT_EQ(theme().module.flags & 1, 1) << "pitches would follow the Amiga table";
}

TEST(ThemeSong, InstrumentsSoundAndEndWithoutClicks) {
  ASSERT_TRUE(theme().ok());
  for (const xmfile::Instrument& in : theme().module.instruments) {
    SCOPED_TRACE(in.name);
    // Without a volume envelope a released note stops dead.
    ASSERT_TRUE(in.volume.on() && in.volume.count >= 1 && in.volume.count <= 12);
    // A released note dies away: by its fadeout, or by an envelope that ends silent.
    EXPECT_TRUE(in.fadeout > 0 ||
                (!in.volume.looped() && in.volume.points[in.volume.count - 1U].value == 0));
    for (const xmfile::Sample& s : in.samples) {
      const bool looped = s.loop_type() == 1;
      const std::size_t first = looped ? s.loop_start_frame() : 0;
      const std::size_t last = looped ? first + s.loop_frames() - 1 : s.data.size() - 1;
      ASSERT_TRUE(s.data.size() > 64 && last < s.data.size() && first < last);
      int peak = 0, step = 0;
      for (std::size_t i = first; i <= last; ++i) {
        peak = std::max(peak, std::abs(int{s.data[i]}));
        if (i > first) step = std::max(step, std::abs(s.data[i] - s.data[i - 1]));
      }
      EXPECT_GE(peak, 1024) << "quieter than -30 dB";
      EXPECT_TRUE(!looped || std::abs(s.data[last] - s.data[first]) <= step) << "a clicking loop";
      EXPECT_TRUE(looped || std::abs(s.data[first]) < peak / 50) << "a click as it starts";
      EXPECT_TRUE(looped || std::abs(s.data[last]) < peak / 10) << "a click as it stops";
    }
  }
}

TEST(ThemeSong, PlaysEverySectionAndComesRoundToTheFirstVerse) {
  ASSERT_TRUE(theme().ok());
  const xmfile::Module& m = theme().module;
  std::set<int> orders;
  const xmfile::SongTimeline t =
      xmfile::play_through(m, rate, [&](int order, int) { orders.insert(order); });
  ASSERT_EQ(t.error, "");
  EXPECT_TRUE(t.seconds >= 90 && t.seconds <= 120) << t.seconds << " s before it loops";
  EXPECT_EQ(orders.size(), m.orders.size()) << "a section is skipped";
  EXPECT_TRUE(t.loops_at_list_end) << "a jump goes round early";
  EXPECT_EQ(std::pair(t.loop_order, t.loop_row), std::pair(m.restart, 0));
  EXPECT_TRUE(t.loops_cleanly()) << "stops, or goes round at another speed, tempo or volume";
  // The first verse is the first section the order list plays again.
  const auto again = [&](std::uint8_t p) {
    return std::count(m.orders.begin(), m.orders.end(), p) > 1;
  };
  EXPECT_EQ(std::find_if(m.orders.begin(), m.orders.end(), again) - m.orders.begin(), m.restart);
}

// A note sounds when its channel has an instrument whose keymap names a sample, and the note
// moved by that sample's relative note stays within C-0..B-9.
TEST(ThemeSong, EveryNoteItPlaysSounds) {
  ASSERT_TRUE(theme().ok());
  const xmfile::Module& m = theme().module;
  std::vector<int> instrument(static_cast<std::size_t>(m.channels), 0);
  xmfile::play_through(m, rate, [&](int order, int row) {
    const xmfile::Pattern& p = m.patterns[m.orders[static_cast<std::size_t>(order)]];
    for (int channel = 0; channel < p.channels; ++channel) {
      const xmfile::Cell& c = p.at(row, channel);
      int& current = instrument[static_cast<std::size_t>(channel)];
      if (c.instrument != 0) current = c.instrument;
      if (c.note == 0 || c.note == 97) continue;  // 97: key off
      SCOPED_TRACE(testing::Message()
                   << "order " << order << " row " << row << " channel " << channel);
      ASSERT_TRUE(current >= 1 && current <= m.instrument_count) << "no instrument";
      const xmfile::Instrument& in = m.instruments[current - 1U];
      ASSERT_LT(in.keymap.at(c.note - 1U), in.sample_count);  // at(): a note past B-7 fails
      const int pitch = c.note + in.samples[in.keymap[c.note - 1U]].relative_note;
      EXPECT_TRUE(pitch >= 1 && pitch <= 119) << "pitch " << pitch;
    }
  });
}

TEST(ModuleRendering, IsLoudThroughoutWithHeadroom) {
  const Rendering r = render_with_openmpt(generated_path("theme2.xm"));
  ASSERT_EQ(r.error, "");
  EXPECT_GT(loudness(r, 0, r.frame_count(), r.frame_count()).at(0), -30.0) << "too quiet overall";
  // The quietest second is the intro's first pad; the last may be dying away.
  const std::vector<double> seconds = loudness(r, 0, r.frame_count(), rate);
  for (std::size_t s = 0; s + 1 < seconds.size(); ++s) {
    EXPECT_GT(seconds[s], -45.0) << "near silence in second " << s;
  }
  // Headroom, and so no clipping, for players that mix louder than this one.
  int peak = 0;
  for (const std::int16_t sample : r.samples) peak = std::max(peak, std::abs(int{sample}));
  EXPECT_TRUE(peak > 32767 / 4 && peak < 32767 * 3 / 4) << "peak " << peak;
}

// Both players and the model count a whole number of frames a tick, so they agree to the frame.
// xmp follows the module's restart position when asked to loop.
TEST(ModuleRendering, EndsWhereTheModelSaysAndLoopsBackWithoutAGap) {
  ASSERT_TRUE(theme().ok());
  const auto end = static_cast<std::size_t>(xmfile::play_through(theme().module, rate).frames);
  const std::string path = generated_path("theme2.xm");
  for (const Rendering& r : {render_with_openmpt(path), render_with_xmp(path)}) {
    EXPECT_EQ(r.frame_count(), end) << r.error;
  }
  const Rendering fresh = render_with_xmp(path, "-s " + std::to_string(theme().module.restart));
  const Rendering looped = render_with_xmp(path, "-l -t " + std::to_string(end / rate + 8));
  ASSERT_EQ(fresh.error + looped.error, "");
  EXPECT_GT(fresh.frame_count(), 60 * rate) << "the loop leaves out most of the song";
  // No gap: every 50 ms from a second before the join to two seconds after has sound.
  for (double db : loudness(looped, end - rate, 3 * rate, rate / 20)) EXPECT_GT(db, -40.0);
  // After the join every 50 ms is as loud as from a fresh start at the restart position: a beat
  // off, or another speed, shows as several dB.
  const std::vector<double> expected = loudness(fresh, 0, 6 * rate, rate / 20);
  const std::vector<double> heard = loudness(looped, end, 6 * rate, rate / 20);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(heard[i], expected[i], 2.0) << "at " << i * 50 << " ms after the join";
  }
}

}  // namespace
