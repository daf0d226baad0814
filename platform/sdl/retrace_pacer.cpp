#include "platform/sdl/retrace_pacer.h"

namespace sdl_platform {

RetracePacer::Clock::time_point RetracePacer::retrace_time(std::int64_t n) const {
  const std::int64_t nanoseconds = n * 1'000'000'000 / rate_hz_;
  return origin_ +
         std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(nanoseconds));
}

RetracePacer::Clock::time_point RetracePacer::next_retrace(Clock::time_point now) {
  if (!started_) {
    started_ = true;
    origin_ = now;
    count_ = 0;
  }
  ++count_;
  const Clock::time_point due = retrace_time(count_);
  const auto late = now - due;
  const auto tolerance =
      std::chrono::nanoseconds(std::int64_t{resync_after_periods} * 1'000'000'000 / rate_hz_);
  if (late > tolerance) {
    // Far behind (a stall, or frames not shown for a while): this retrace is now.
    origin_ = now;
    count_ = 0;
    return now;
  }
  return due;
}

}  // namespace sdl_platform
