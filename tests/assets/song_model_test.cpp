// The song-length model the module tests walk the song with, checked on small hand-made songs
// whose timing is worked out by hand.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/assets/xm_reader.h"
#include "tests/assets/xm_timeline.h"

namespace {

using xmfile::Cell;
using xmfile::Module;
using xmfile::Pattern;
using xmfile::PlayState;
using xmfile::SongTimeline;

constexpr std::uint8_t fx_position_jump = 0xB, fx_pattern_break = 0xD, fx_extended = 0xE,
                       fx_speed = 0xF, fx_global_volume = 0x10, fx_global_volume_slide = 0x11;

// --- The song model on small hand-made songs, worked out by hand

// Patterns of the given lengths, two channels, nothing in them; the header's speed 6 and BPM 125
// make a tick exactly 20 ms and 882 frames at 44100 Hz.
Module hand_song(const std::vector<int>& pattern_rows, const std::vector<std::uint8_t>& orders,
                 int restart = 0) {
  Module m;
  m.channels = 2;
  m.speed = 6;
  m.bpm = 125;
  m.orders = orders;
  m.song_length = static_cast<int>(orders.size());
  m.restart = restart;
  for (const int rows : pattern_rows) {
    Pattern p;
    p.rows = rows;
    p.channels = m.channels;
    p.cells.assign(static_cast<std::size_t>(rows * m.channels), Cell{});
    m.patterns.push_back(p);
  }
  m.pattern_count = static_cast<int>(m.patterns.size());
  return m;
}

void put(Module& m, int pattern, int row, int channel, std::uint8_t effect, std::uint8_t param) {
  Pattern& p = m.patterns[static_cast<std::size_t>(pattern)];
  Cell& c = p.cells[static_cast<std::size_t>(row * p.channels + channel)];
  c.effect = effect;
  c.param = param;
}

TEST(SongModel, FramesPerTickAreWholeAndRoundedDown) {
  EXPECT_EQ(xmfile::frames_per_tick(125, 44100), 882);
  EXPECT_EQ(xmfile::frames_per_tick(140, 44100), 787);  // 787.5
  EXPECT_EQ(xmfile::frames_per_tick(33, 44100), 3340);  // 3340.9
  EXPECT_EQ(xmfile::frames_per_tick(255, 44100), 432);  // 432.35
  EXPECT_EQ(xmfile::frames_per_tick(125, 48000), 960);
}

TEST(SongModel, CountsRowsAtTheHeaderSpeedAndLoopsAtTheListEnd) {
  const Module m = hand_song({4}, {0});
  const SongTimeline t = xmfile::play_through(m);
  ASSERT_EQ(t.error, "");
  EXPECT_EQ(t.rows, 4);
  EXPECT_EQ(t.ticks, 24);
  EXPECT_DOUBLE_EQ(t.seconds, 0.48);
  EXPECT_EQ(t.frames, 24 * 882);
  EXPECT_TRUE(t.loops_at_list_end);
  EXPECT_EQ(t.loop_order, 0);
  EXPECT_EQ(t.loop_row, 0);
  EXPECT_TRUE(t.loops_cleanly());
  EXPECT_EQ(xmfile::play_through(m, 48000).frames, 24 * 960);
}

TEST(SongModel, SpeedAndBpmChangeFromTheRowThatSetsThem) {
  Module m = hand_song({4}, {0});
  put(m, 0, 1, 0, fx_speed, 3);
  put(m, 0, 2, 1, fx_speed, 150);
  const SongTimeline t = xmfile::play_through(m);
  ASSERT_EQ(t.error, "");
  EXPECT_EQ(t.ticks, 6 + 3 + 3 + 3);
  EXPECT_NEAR(t.seconds, 9 * 0.02 + 6 * (2.5 / 150), 1e-12);
  EXPECT_EQ(t.frames, 9 * 882 + 6 * 735);
  EXPECT_EQ(t.at_end, (PlayState{3, 150, 64}));
  ASSERT_TRUE(t.first_at_loop.has_value());
  EXPECT_EQ(*t.first_at_loop, (PlayState{6, 125, 64}));
  EXPECT_FALSE(t.loops_cleanly()) << "the second time round would play at the new speed";
}

TEST(SongModel, SpeedZeroStopsTheSong) {
  Module m = hand_song({4}, {0});
  put(m, 0, 2, 0, fx_speed, 0);
  const SongTimeline t = xmfile::play_through(m);
  EXPECT_TRUE(t.stops);
  EXPECT_EQ(t.rows, 2);
  EXPECT_FALSE(t.loops_cleanly());
}

TEST(SongModel, PatternBreakGoesToADecimalRowOfTheNextOrder) {
  Module m = hand_song({4, 16}, {0, 1});
  put(m, 0, 1, 1, fx_pattern_break, 0x12);  // row 12, not 18
  SongTimeline t = xmfile::play_through(m);
  EXPECT_EQ(t.rows, 2 + 4);
  EXPECT_TRUE(t.loops_at_list_end);

  // A row the next pattern does not have starts it from the top.
  put(m, 0, 1, 1, fx_pattern_break, 0x20);
  t = xmfile::play_through(m);
  EXPECT_EQ(t.rows, 2 + 16);
}

TEST(SongModel, PositionJumpBackToAPlayedRowIsWhereTheSongLoops) {
  Module m = hand_song({4, 4}, {0, 1, 0});
  put(m, 1, 2, 0, fx_position_jump, 1);
  SongTimeline t = xmfile::play_through(m);
  EXPECT_EQ(t.rows, 4 + 3);
  EXPECT_FALSE(t.loops_at_list_end);
  EXPECT_EQ(t.loop_order, 1);
  EXPECT_EQ(t.loop_row, 0);
  EXPECT_TRUE(t.loops_cleanly());

  // With a break on the same row the jump lands on the break's row.
  put(m, 1, 2, 1, fx_pattern_break, 0x02);
  put(m, 1, 2, 0, fx_position_jump, 0);
  t = xmfile::play_through(m);
  EXPECT_EQ(t.rows, 4 + 3);
  EXPECT_EQ(t.loop_order, 0);
  EXPECT_EQ(t.loop_row, 2);
}

TEST(SongModel, PositionJumpForwardSkipsOrders) {
  Module m = hand_song({4, 8}, {0, 1, 1});
  put(m, 0, 0, 0, fx_position_jump, 2);
  const SongTimeline t = xmfile::play_through(m);
  EXPECT_EQ(t.rows, 1 + 8);
  EXPECT_TRUE(t.loops_at_list_end);
}

TEST(SongModel, PatternDelayRepeatsARowWithoutReplayingIt) {
  Module m = hand_song({4}, {0});
  put(m, 0, 1, 0, fx_extended, 0xE2);
  const SongTimeline t = xmfile::play_through(m);
  EXPECT_EQ(t.rows, 4);
  EXPECT_EQ(t.ticks, 6 + 3 * 6 + 6 + 6);
}

TEST(SongModel, PatternLoopPlaysItsRowsAgain) {
  Module m = hand_song({4}, {0});
  put(m, 0, 1, 0, fx_extended, 0x60);
  put(m, 0, 2, 0, fx_extended, 0x62);
  std::vector<int> rows;
  const SongTimeline t = xmfile::play_through(m, 44100, [&](int, int row) { rows.push_back(row); });
  EXPECT_EQ(rows, (std::vector<int>{0, 1, 2, 1, 2, 1, 2, 3}));
  EXPECT_EQ(t.ticks, 8 * 6);
  EXPECT_TRUE(t.loops_at_list_end);
}

TEST(SongModel, TheRestartPositionMustBeReachedWithTheGlobalVolumeTheEndHas) {
  Module m = hand_song({4, 4}, {0, 1}, 1);
  put(m, 0, 0, 0, fx_global_volume, 32);
  SongTimeline t = xmfile::play_through(m);
  EXPECT_EQ(t.loop_order, 1);
  EXPECT_EQ(t.at_end.global_volume, 32);
  EXPECT_TRUE(t.loops_cleanly());

  m.restart = 0;  // order 0 first played at full global volume
  t = xmfile::play_through(m);
  EXPECT_FALSE(t.loops_cleanly());
}

TEST(SongModel, GlobalVolumeSlidesOnAllButTheFirstTick) {
  Module m = hand_song({4}, {0});
  put(m, 0, 0, 1, fx_global_volume_slide, 0x04);
  EXPECT_EQ(xmfile::play_through(m).at_end.global_volume, 64 - 5 * 4);
  put(m, 0, 1, 1, fx_global_volume_slide, 0x00);  // goes on as before
  EXPECT_EQ(xmfile::play_through(m).at_end.global_volume, 64 - 10 * 4);
}

TEST(SongModel, RefusesOrdersThatNameMissingPatterns) {
  const Module m = hand_song({4}, {0, 3});
  const SongTimeline t = xmfile::play_through(m);
  EXPECT_NE(t.error.find("order 1"), std::string::npos) << t.error;
  EXPECT_FALSE(t.loops_cleanly());
}

}  // namespace
