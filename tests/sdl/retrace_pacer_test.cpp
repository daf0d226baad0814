// The emulated retrace on a clock the test drives: each retrace at its exact time, a late frame
// made up, a long stall started afresh.
#include "platform/sdl/retrace_pacer.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using sdl_platform::RetracePacer;
using Clock = RetracePacer::Clock;
using std::chrono::nanoseconds;

constexpr Clock::time_point start{std::chrono::seconds(1000)};

// Retrace n after an origin: n / rate seconds, in whole nanoseconds rounded down.
std::int64_t exact(std::int64_t n, std::int64_t rate) { return n * 1'000'000'000 / rate; }

std::int64_t since_start(Clock::time_point t) { return nanoseconds(t - start).count(); }

// Each flip asks as soon as the previous retrace came, as a show that keeps up does.
TEST(RetracePacer, AShowThatKeepsUpGetsEveryRetraceAtItsExactTime) {
  for (int rate : {60, 7, 600}) {
    RetracePacer pacer(rate);
    Clock::time_point now = start;
    for (int n = 1; n <= 5202; ++n) {
      const Clock::time_point due = pacer.next_retrace(now);
      ASSERT_EQ(since_start(due), exact(n, rate)) << "rate " << rate << ", retrace " << n;
      now = due + nanoseconds(100);  // a little work after each retrace
    }
  }
}

TEST(RetracePacer, EveryRateComesBackToWholeSeconds) {
  RetracePacer pacer(7);
  Clock::time_point due = start;
  for (int n = 1; n <= 7 * 1000; ++n) {
    due = pacer.next_retrace(due);
    if (n % 7 == 0) {
      ASSERT_EQ(since_start(due), std::int64_t{n / 7} * 1'000'000'000) << n;
    }
  }
}

TEST(RetracePacer, The5202FramesOfTheShowTake86Point7SecondsAt60Hz) {
  RetracePacer pacer(60);
  Clock::time_point due = start;
  for (int n = 1; n <= 5202; ++n) due = pacer.next_retrace(due);
  EXPECT_EQ(since_start(due), 86'700'000'000);
}

TEST(RetracePacer, AFlipAskedInTheMiddleOfAPeriodWaitsForTheNextRetrace) {
  RetracePacer pacer(100);  // 10 ms
  EXPECT_EQ(since_start(pacer.next_retrace(start)), 10'000'000);
  EXPECT_EQ(since_start(pacer.next_retrace(start + std::chrono::milliseconds(13))), 20'000'000);
  EXPECT_EQ(since_start(pacer.next_retrace(start + std::chrono::milliseconds(20))), 30'000'000);
}

TEST(RetracePacer, AFewLateFramesAreMadeUpWithoutShiftingTheRetraces) {
  RetracePacer pacer(100);
  pacer.next_retrace(start);  // 10 ms
  // The next frame is 25 ms late for its retrace at 20 ms: that retrace and the next ones that
  // have passed return at once, and the grid stays where it was.
  const Clock::time_point late = start + std::chrono::milliseconds(45);
  EXPECT_EQ(pacer.next_retrace(late), start + std::chrono::milliseconds(20));
  EXPECT_EQ(pacer.next_retrace(late), start + std::chrono::milliseconds(30));
  EXPECT_EQ(pacer.next_retrace(late), start + std::chrono::milliseconds(40));
  EXPECT_EQ(pacer.next_retrace(late), start + std::chrono::milliseconds(50));
  EXPECT_EQ(pacer.next_retrace(start + std::chrono::milliseconds(50)),
            start + std::chrono::milliseconds(60));
}

TEST(RetracePacer, LateByMoreThanTheToleranceStartsAfreshFromThen) {
  RetracePacer pacer(100);
  pacer.next_retrace(start);  // 10 ms
  // Exactly at the tolerance still catches up.
  const auto tolerance = std::chrono::milliseconds(10 * RetracePacer::resync_after_periods);
  Clock::time_point now = start + std::chrono::milliseconds(20) + tolerance;
  EXPECT_EQ(pacer.next_retrace(now), start + std::chrono::milliseconds(20));
  // A stall of a second: no burst of a hundred frames, the retrace is now and the next a period on.
  now = start + std::chrono::seconds(2);
  EXPECT_EQ(pacer.next_retrace(now), now);
  EXPECT_EQ(pacer.next_retrace(now + std::chrono::milliseconds(1)),
            now + std::chrono::milliseconds(10));
  EXPECT_EQ(pacer.next_retrace(now + std::chrono::milliseconds(15)),
            now + std::chrono::milliseconds(20));
}

}  // namespace
