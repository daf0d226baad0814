// Runs every hand-worked tick trace of the replayer suites (replayer_*_test.cpp).
#include "tests/xm/module_builder.h"

namespace xmtest {

TEST_P(Trace, FollowsTheHandWorkedTicks) {
  const TraceCase& c = GetParam();
  xm::Module m = module(c.cells, 2);
  if (c.edit != nullptr) c.edit(m);
  xm::Replayer replayer(m);
  for (std::size_t i = 0; i < c.expected.size(); ++i) {
    replayer.tick();
    const xm::ChannelReport r = replayer.report(0);
    const xm::Voice& v = replayer.voice(0);
    const xm::Position p = replayer.position();
    const int e = c.expected[i];
    switch (c.probe) {
      case Probe::period:
      case Probe::amiga_period:
        EXPECT_NEAR(r.frequency_hz, hz(c.probe, e), 1e-6 * hz(c.probe, e)) << "tick " << i;
        break;
      case Probe::volume:
        EXPECT_EQ(r.volume, e) << "tick " << i;
        break;
      case Probe::panning:
        EXPECT_EQ(r.panning, e) << "tick " << i;
        break;
      case Probe::trigger:
        EXPECT_EQ(v.trigger ? 1 : 0, e) << "tick " << i;
        break;
      case Probe::start_frame:
        EXPECT_EQ(static_cast<int>(v.start_frame), e) << "tick " << i;
        break;
      case Probe::position:
        EXPECT_EQ(p.order * 100 + p.row, e) << "tick " << i;
        break;
      case Probe::ended:
        EXPECT_EQ(replayer.ended() ? 1 : 0, e) << "tick " << i;
        break;
    }
  }
}

}  // namespace xmtest
