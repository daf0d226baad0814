// Runs every hand-worked tick trace of the replayer suites (replayer_*_test.cpp); pitch, volume,
// panning and envelopes are checked against FastTracker 2 itself (ft2_reference_test.cpp).
#include "tests/xm/module_builder.h"

namespace xmtest {
namespace {

// The frequencies of the XM document: linear and Amiga periods.
double hz(Probe probe, int period) {
  if (period == 0) return 0;
  return probe == Probe::period ? 8363.0 * std::exp2((4608.0 - period) / 768.0)
                                : 8363.0 * 1712.0 / period;
}

int observed(Probe probe, const xm::Replayer& r) {
  const int values[] = {0,
                        0,
                        r.report(0).volume,
                        r.report(0).panning,
                        r.voice(0).trigger ? 1 : 0,
                        static_cast<int>(r.voice(0).start_frame),
                        (r.ended() ? 1000 : 0) + r.position().order * 100 + r.position().row};
  return values[static_cast<int>(probe)];
}

}  // namespace

TEST_P(Trace, FollowsTheHandWorkedTicks) {
  const TraceCase& c = GetParam();
  const xm::Module m = module(c.cells);
  xm::Replayer replayer(m);
  std::istringstream expected(c.expected);
  int tick = 0;
  for (int e = 0; expected >> e; ++tick) {
    replayer.tick();
    if (c.probe == Probe::period || c.probe == Probe::amiga_period) {
      EXPECT_NEAR(replayer.report(0).frequency_hz, hz(c.probe, e), 1e-6 * hz(c.probe, e)) << tick;
    } else {
      EXPECT_EQ(observed(c.probe, replayer), e) << "tick " << tick;
    }
  }
}

}  // namespace xmtest
