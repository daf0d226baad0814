// The theme song read back by the player's loader, walked by its replayer and heard by reference
// players: a whole XM file whose instruments sound and die away without clicks, and a song loud
// throughout without clipping that plays every section for at least a minute and a half and then
// comes round to its first verse the way it first played there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/assets/generated_files.h"
#include "tests/assets/reference_render.h"
#include "xm/load.h"
#include "xm/replayer.h"

namespace {

constexpr std::size_t rate = 44100;

const xm::LoadResult& theme() {
  static const xm::LoadResult loaded = xm::load(generated("theme2.xm"));
  return loaded;
}

// Calls `on_row` for every row as it starts, until the song comes round; returns the first tick
// after that, where it goes on.
xm::Position play_rows(const std::function<void(const xm::Position&)>& on_row) {
  xm::Replayer replayer(theme().module);
  for (long ticks = 0; ticks < 1'000'000; ++ticks) {
    replayer.tick();
    if (replayer.position().tick == 0) on_row(replayer.position());
    if (replayer.ended()) {
      replayer.tick();
      return replayer.position();
    }
  }
  return {-1, -1, -1, -1, 0, 0};
}

TEST(ThemeSong, InstrumentsSoundAndEndWithoutClicks) {
  ASSERT_TRUE(theme().ok());
  for (const xm::Instrument& in : theme().module.instruments) {
    SCOPED_TRACE(in.name);
    const xm::Envelope& v = in.volume_envelope;
    // Without a volume envelope a released note stops dead.
    ASSERT_TRUE(v.on && v.count >= 1 && v.count <= 12);
    // A released note dies away: by its fadeout, or by an envelope that ends silent.
    EXPECT_TRUE(in.fadeout > 0 || (!v.loop_on && v.points[v.count - 1U].value == 0));
    for (const xm::Sample& s : in.samples) {
      const auto frame = [&](std::size_t i) { return int{s.data[xm::sample_guard + i]}; };
      const bool looped = s.loop == xm::LoopType::forward;
      const std::size_t first = looped ? s.loop_start : 0;
      const std::size_t last = looped ? first + s.loop_length - 1 : s.length - 1;
      ASSERT_TRUE(s.length > 64 && last < s.length && first < last);
      int peak = 0, step = 0;
      for (std::size_t i = first; i <= last; ++i) {
        peak = std::max(peak, std::abs(frame(i)));
        if (i > first) step = std::max(step, std::abs(frame(i) - frame(i - 1)));
      }
      EXPECT_GE(peak, 1024) << "quieter than -30 dB";
      EXPECT_TRUE(!looped || std::abs(frame(last) - frame(first)) <= step) << "a clicking loop";
      EXPECT_TRUE(looped || std::abs(frame(first)) < peak / 50) << "a click as it starts";
      EXPECT_TRUE(looped || std::abs(frame(last)) < peak / 10) << "a click as it stops";
    }
  }
}

TEST(ThemeSong, PlaysEverySectionAndComesRoundToTheFirstVerse) {
  ASSERT_TRUE(theme().ok());
  const xm::Module& m = theme().module;
  std::set<int> orders;
  std::pair<int, int> at_restart{0, 0};  // speed and tempo when the restart row first played
  const xm::Position round = play_rows([&](const xm::Position& p) {
    orders.insert(p.order);
    if (p.order == m.restart && p.row == 0 && at_restart.first == 0) {
      at_restart = {p.speed, p.bpm};
    }
  });
  const double seconds = xm::song_length(m, rate).seconds;
  EXPECT_TRUE(seconds >= 90 && seconds <= 120) << seconds << " s before it loops";
  EXPECT_EQ(orders.size(), m.orders.size()) << "a section is skipped";
  EXPECT_EQ(std::pair(round.order, round.row), std::pair(m.restart, 0)) << "goes round elsewhere";
  EXPECT_EQ(std::pair(round.speed, round.bpm), at_restart)
      << "another speed or tempo the second time";
  // The first verse is the first section the order list plays again.
  const auto again = [&](std::uint8_t p) {
    return std::count(m.orders.begin(), m.orders.end(), p) > 1;
  };
  EXPECT_EQ(std::find_if(m.orders.begin(), m.orders.end(), again) - m.orders.begin(), m.restart);
}

// A note sounds when its channel has an instrument whose keymap names a sample, and the note
// moved by that sample's relative note stays within C-0..B-9, on the linear frequency table.
TEST(ThemeSong, EveryNoteItPlaysSounds) {
  ASSERT_TRUE(theme().ok()) << theme().message();
  const xm::Module& m = theme().module;
  EXPECT_TRUE(m.linear_frequencies) << "pitches would follow the Amiga table";
  std::vector<int> instrument(static_cast<std::size_t>(m.channels), 0);
  play_rows([&](const xm::Position& p) {
    const xm::Pattern& pattern = m.patterns[m.orders[static_cast<std::size_t>(p.order)]];
    for (int channel = 0; channel < m.channels; ++channel) {
      const xm::Cell& c = pattern.at(p.row, channel, m.channels);
      int& current = instrument[static_cast<std::size_t>(channel)];
      if (c.instrument != 0) current = c.instrument;
      if (c.note == 0 || c.note == xm::key_off) continue;
      SCOPED_TRACE(testing::Message()
                   << "order " << p.order << " row " << p.row << " channel " << channel);
      ASSERT_TRUE(current >= 1 && current <= static_cast<int>(m.instruments.size()))
          << "no instrument";
      const xm::Instrument& in = m.instruments[current - 1U];
      const std::uint8_t sample = in.keymap.at(c.note - 1U);  // at(): a note past B-7 fails
      ASSERT_LT(sample, in.samples.size());
      const int pitch = c.note + in.samples[sample].relative_note;
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

// The players and our replayer count a whole number of frames a tick, so they agree to the
// frame. xmp follows the module's restart position when asked to loop.
TEST(ModuleRendering, EndsWhereOurPlayerSaysAndLoopsBackWithoutAGap) {
  ASSERT_TRUE(theme().ok());
  const auto end = static_cast<std::size_t>(xm::song_length(theme().module, rate).frames);
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
