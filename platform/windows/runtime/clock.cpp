// The clock and the sleep the music's fade waits with (music/playback.cpp): the steady clock from
// the performance counter, which every PC that runs Windows 95 or later has.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <ctime>

namespace {

std::int64_t counter_frequency() {
  LARGE_INTEGER frequency;
  return QueryPerformanceFrequency(&frequency) ? frequency.QuadPart : 0;
}

}  // namespace

std::chrono::steady_clock::time_point std::chrono::steady_clock::now() noexcept {
  static const std::int64_t frequency = counter_frequency();
  LARGE_INTEGER counter;
  if (frequency <= 0 || !QueryPerformanceCounter(&counter)) {
    // Without a counter, the tick count: it wraps after 49.7 days.
    return time_point(std::chrono::milliseconds(GetTickCount()));
  }
  // Whole seconds and the rest apart, so that no product overflows.
  const std::int64_t seconds = counter.QuadPart / frequency;
  const std::int64_t rest = counter.QuadPart % frequency;
  return time_point(
      std::chrono::nanoseconds(seconds * 1'000'000'000 + rest * 1'000'000'000 / frequency));
}

// Rounded up to whole milliseconds; Windows wakes the thread no sooner.
extern "C" int nanosleep(const timespec* request, timespec* remaining) {
  const std::int64_t ms =
      std::int64_t{request->tv_sec} * 1000 + (request->tv_nsec + 999'999) / 1'000'000;
  Sleep(static_cast<DWORD>(ms));
  if (remaining != nullptr) *remaining = timespec{};
  return 0;
}
