// The emulated vertical retrace: a fixed rate on a steady clock, whatever the monitor's own rate.
#pragma once

#include <chrono>
#include <cstdint>

namespace sdl_platform {

class RetracePacer {
 public:
  using Clock = std::chrono::steady_clock;

  // A wait that comes later than this many retrace periods after its retrace starts the count
  // afresh instead of catching up with a burst of frames.
  static constexpr int resync_after_periods = 4;

  explicit RetracePacer(int rate_hz) : rate_hz_(rate_hz) {}

  // The retrace a flip asked for at `now` waits for. Retrace n comes at origin + n / rate exactly
  // (to the nanosecond), so frames do not drift however long the show runs; one that comes a
  // little late is made up by the next ones, which come no later than their own time.
  Clock::time_point next_retrace(Clock::time_point now);

 private:
  Clock::time_point retrace_time(std::int64_t n) const;

  int rate_hz_;
  bool started_ = false;
  Clock::time_point origin_{};
  std::int64_t count_ = 0;
};

}  // namespace sdl_platform
