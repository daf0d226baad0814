// The theme song read back by a strict reader of our own and walked by the song-length model: a
// whole XM file whose instruments sound and die away without clicks, and a song that plays every
// section for at least a minute and a half and then comes round to its first verse.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <vector>

#include "tests/assets/generated_files.h"
#include "tests/assets/xm_reader.h"
#include "tests/assets/xm_timeline.h"

namespace {

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
    ASSERT_TRUE(in.volume.on());
    ASSERT_TRUE(in.volume.count >= 1 && in.volume.count <= 12);
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
      if (looped) {
        EXPECT_LE(std::abs(s.data[last] - s.data[first]), step) << "a click at the loop's join";
      } else {
        EXPECT_LT(std::abs(int{s.data[first]}), peak / 50) << "a click as it starts";
        EXPECT_LT(std::abs(int{s.data[last]}), peak / 10) << "a click as it stops";
      }
    }
  }
}

TEST(ThemeSong, PlaysEverySectionAndComesRoundToTheFirstVerse) {
  ASSERT_TRUE(theme().ok());
  const xmfile::Module& m = theme().module;
  std::set<int> orders;
  const xmfile::SongTimeline t =
      xmfile::play_through(m, 44100, [&](int order, int) { orders.insert(order); });
  ASSERT_EQ(t.error, "");
  EXPECT_TRUE(t.seconds >= 90 && t.seconds <= 120) << t.seconds << " s before it loops";
  EXPECT_EQ(orders.size(), m.orders.size()) << "a section is skipped";
  EXPECT_TRUE(t.loops_at_list_end) << "a jump goes round early";
  EXPECT_EQ(t.loop_order, m.restart);
  EXPECT_EQ(t.loop_row, 0);
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
  xmfile::play_through(m, 44100, [&](int order, int row) {
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

}  // namespace
