// Song flow at speed 1, a row a tick: positions as order * 100 + row through two 8-row patterns
// (orders 0 and 1), the song's end, and its length.
#include "tests/xm/module_builder.h"

namespace xmtest {
namespace {

void speed_1(xm::Module& m) { m.speed = 1; }
void speed_1_long_second(xm::Module& m) {
  m.speed = 1;
  m.patterns[1].rows = 16;
  m.patterns[1].cells.resize(32);
}

const TraceCase flow_cases[] = {
    {"RowsThenOrdersThenRestart",
     {},
     Probe::position,
     {0, 1, 2, 3, 4, 5, 6, 7, 100, 101, 102, 103, 104, 105, 106, 107, 0},
     speed_1},
    {"EndedAfterTheLastRow",
     {},
     Probe::ended,
     {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1},
     speed_1},
    {"RestartPosition",
     {},
     Probe::position,
     {0, 1, 2, 3, 4, 5, 6, 7, 100, 101, 102, 103, 104, 105, 106, 107, 100},
     [](xm::Module& m) {
       m.speed = 1;
       m.restart = 1;
     }},
    {"PatternBreakIsDecimal",
     {{2, {0, 0, 0, 0xD, 0x12}}},
     Probe::position,
     {0, 1, 2, 112, 113, 114, 115, 0},
     speed_1_long_second},
    {"BreakPastThePatternStartsItsTop",
     {{2, {0, 0, 0, 0xD, 0x09}}},
     Probe::position,
     {0, 1, 2, 100, 101},
     speed_1},
    {"JumpAndBreakOnOneRow",
     {{1, {0, 0, 0, 0xB, 1}}, {1, {0, 0, 0, 0xD, 3}, 1}},
     Probe::position,
     {0, 1, 103, 104, 105, 106, 107, 0},
     speed_1},
    {"JumpBackEndsTheSong", {{2, {0, 0, 0, 0xB, 0}}}, Probe::ended, {0, 0, 1, 1, 1}, speed_1},
    {"JumpPastTheOrderListRestarts",
     {{0, {0, 0, 0, 0xB, 5}}},
     Probe::position,
     {0, 100, 101},
     [](xm::Module& m) {
       m.speed = 1;
       m.restart = 1;
     }},
    {"PatternLoop",
     {{1, {0, 0, 0, 0xE, 0x60}}, {3, {0, 0, 0, 0xE, 0x62}}},
     Probe::position,
     {0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 4, 5},
     speed_1},
    {"PatternLoopIsNotTheEnd",
     {{1, {0, 0, 0, 0xE, 0x60}}, {3, {0, 0, 0, 0xE, 0x62}}},
     Probe::ended,
     {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
     speed_1},
    // FastTracker 2 keeps the loop's row as the row the next pattern starts on.
    {"LoopRowCarriesIntoTheNextPattern",
     {{1, {0, 0, 0, 0xE, 0x60}}, {2, {0, 0, 0, 0xE, 0x61}}},
     Probe::position,
     {0, 1, 2, 1, 2, 3, 4, 5, 6, 7, 101, 102},
     speed_1},
    {"LoopAndBreakShareTheBreakRow",
     {{1, {0, 0, 0, 0xE, 0x60}, 1}, {3, {0, 0, 0, 0xD, 0}}, {3, {0, 0, 0, 0xE, 0x62}, 1}},
     Probe::position,
     {0, 1, 2, 3, 101, 102},
     speed_1},
    {"PatternDelayRepeatsTheRow",
     {{1, {0, 0, 0, 0xE, 0xE2}}},
     Probe::position,
     {0, 1, 1, 1, 2, 3},
     speed_1},
    {"SpeedSetsTicksARow",
     {{1, {0, 0, 0, 0xF, 2}}},
     Probe::position,
     {0, 1, 1, 2, 2, 3, 3},
     speed_1},
    {"F00Halts", {{2, {0, 0, 0, 0xF, 0}}}, Probe::position, {0, 1, 2, 2, 2}, speed_1},
    {"F00Ends", {{2, {0, 0, 0, 0xF, 0}}}, Probe::ended, {0, 0, 1, 1, 1}, speed_1},
};

INSTANTIATE_TEST_SUITE_P(Flow, Trace, testing::ValuesIn(flow_cases), case_name);

struct LengthCase {
  std::vector<Put> cells;
  std::int64_t ticks, frames;  // at 44100 Hz
};

// Two 8-row patterns at speed 4: 64 ticks of 44100 * 2.5 / 125 = 882 frames.
TEST(SongLength, CountsTicksAndFrames) {
  const LengthCase cases[] = {
      {{}, 64, 64 * 882},
      {{{0, {0, 0, 0, 0xF, 150}}}, 64, 64 * 735},
      {{{2, {0, 0, 0, 0xF, 0}}}, 8, 8 * 882},
      {{{0, {0, 0, 0, 0xE, 0xE1}}}, 68, 68 * 882},
      {{{4, {0, 0, 0, 0xF, 2}}}, 16 + 24, 40 * 882},
  };
  for (const LengthCase& c : cases) {
    const xm::SongLength length = xm::song_length(module(c.cells, 2), 44100);
    EXPECT_EQ(length.ticks, c.ticks);
    EXPECT_EQ(length.frames, c.frames);
  }
  EXPECT_NEAR(xm::song_length(module({}, 2), 44100).seconds, 64 * 0.02, 1e-9);
  EXPECT_EQ(xm::frames_per_tick(32, 48000), 3750u);
  EXPECT_EQ(xm::frames_per_tick(255, 8000), 78u);
}

}  // namespace
}  // namespace xmtest
