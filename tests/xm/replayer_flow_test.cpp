// Song flow at speed 1, a row a tick: positions as order * 100 + row through two 8-row patterns
// (orders 0 and 1), the song's end, and its length.
#include "tests/xm/module_builder.h"

namespace xmtest {
namespace {

using enum Probe;

const TraceCase flow_cases[] = {
    {"RowsOrdersRestart", " | speed=1", position,
     "0 1 2 3 4 5 6 7 100 101 102 103 104 105 106 1107 1000"},
    {"RestartPosition", " | speed=1 restart=1", position,
     "0 1 2 3 4 5 6 7 100 101 102 103 104 105 106 1107 1100"},
    {"BreakIsDecimal", "2 D12 | speed=1 rows1=16", position, "0 1 2 112 113 114 1115 1000"},
    {"BreakPastTheRowsGoesToTop", "2 D09 | speed=1", position, "0 1 2 100 101"},
    {"JumpAndBreakOnOneRow", "1 B01; 1.1 D03 | speed=1", position, "0 1 103 104 105 106 1107"},
    {"JumpBackEndsTheSong", "2 B00 | speed=1", position, "0 1 1002 1000 1001"},
    // Past the order list a jump goes to order 0 (in FastTracker 2's reproduction): the end, row 0
    // again and again.
    {"JumpPastTheList", "0 B05 | speed=1 restart=1", position, "1000 1000 1000"},
    {"PatternLoopIsNotTheEnd", "1 E60; 3 E62 | speed=1", position, "0 1 2 3 1 2 3 1 2 3 4 5"},
    // FastTracker 2 keeps the loop's row as the row the next pattern starts on.
    {"LoopRowCarriesOn", "1 E60; 2 E61 | speed=1", position, "0 1 2 1 2 3 4 5 6 7 101 102"},
    {"LoopAndBreakShareTheRow", "1.1 E60; 3 D00; 3.1 E62 | speed=1", position, "0 1 2 3 101"},
    {"PatternDelayRepeatsTheRow", "1 EE2 | speed=1", position, "0 1 1 1 2 3"},
    {"SpeedSetsTicksARow", "1 F02 | speed=1", position, "0 1 1 2 2 3 3"},
    {"F00Halts", "2 F00 | speed=1", position, "0 1 1002 1002 1002"},
};

INSTANTIATE_TEST_SUITE_P(Flow, Trace, testing::ValuesIn(flow_cases), case_name);

// Two 8-row patterns at speed 4: 64 ticks of 44100 * 2.5 / 125 = 882 frames; BPM 150 gives 735.
TEST(SongLength, CountsTicksAndFrames) {
  const struct {
    std::string cells;
    std::int64_t ticks, frames;
  } cases[] = {{"", 64, 64 * 882},
               {"0 F96", 64, 64 * 735},
               {"2 F00", 9, 9 * 882},
               {"0 EE1", 68, 68 * 882},
               {"4 F02", 16 + 24, 40 * 882}};
  for (const auto& c : cases) {
    const xm::SongLength length = xm::song_length(module(c.cells), 44100);
    EXPECT_EQ(std::pair(length.ticks, length.frames), std::pair(c.ticks, c.frames)) << c.cells;
  }
  EXPECT_NEAR(xm::song_length(module(""), 44100).seconds, 64 * 0.02, 1e-9);
  EXPECT_EQ(xm::frames_per_tick(32, 48000), 3750u);
  EXPECT_EQ(xm::frames_per_tick(255, 8000), 78u);
}

}  // namespace
}  // namespace xmtest
