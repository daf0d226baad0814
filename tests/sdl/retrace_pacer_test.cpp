// The emulated retrace on a clock the test drives: each retrace at its exact time, a late frame
// made up, a long stall started afresh.
#include "platform/sdl/retrace_pacer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <utility>
#include <vector>

namespace {

using sdl_platform::RetracePacer;
using std::chrono::milliseconds;
using std::chrono::nanoseconds;

constexpr RetracePacer::Clock::time_point start{std::chrono::seconds(1000)};

// A show that keeps up asks as soon as the last retrace came: retrace n is n / rate seconds after
// the first ask, rounded down to the nanosecond, however long it runs.
TEST(RetracePacer, AShowThatKeepsUpGetsEveryRetraceAtItsExactTime) {
  for (std::int64_t rate : {60, 7, 600}) {
    RetracePacer pacer(static_cast<int>(rate));
    RetracePacer::Clock::time_point now = start;
    for (std::int64_t n = 1; n <= 5202; ++n) {
      const RetracePacer::Clock::time_point due = pacer.next_retrace(now);
      ASSERT_EQ(due - start, nanoseconds(n * 1'000'000'000 / rate)) << "rate " << rate << ", " << n;
      now = due + nanoseconds(100);  // a little work after each retrace
    }
  }
}

// At 100 Hz, asks at these milliseconds after the first one (at 0) wait until these.
TEST(RetracePacer, LateAsksAreMadeUpOnTheGridUntilTheyAreTooLate) {
  const std::vector<std::pair<int, int>> runs[] = {
      // Mid-period: the next retrace.
      {{13, 20}, {20, 30}},
      // 25 ms late: the missed retraces come at once, on their own times.
      {{45, 20}, {45, 30}, {45, 40}, {45, 50}, {50, 60}},
      // Exactly 4 periods late still catches up.
      {{60, 20}},
      // A stall of two seconds: the retrace is now, and the count starts afresh from it.
      {{2000, 2000}, {2001, 2010}, {2015, 2020}},
  };
  for (const auto& run : runs) {
    RetracePacer pacer(100);
    ASSERT_EQ(pacer.next_retrace(start), start + milliseconds(10));
    for (const auto& [ask, due] : run) {
      EXPECT_EQ(pacer.next_retrace(start + milliseconds(ask)), start + milliseconds(due))
          << "asked at " << ask;
    }
  }
}

}  // namespace
