// The waveOut output on the machine's own winmm: blocks are refilled in the order the device
// plays them, one fill at a time, and none after close(). Where there is no sound device, open()
// failing is the right answer. Exit status 0 when every check holds.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>

#include "platform/windows/waveout_output.h"

namespace {

constexpr int rate = 44100;
constexpr int max_calls = 4096;
constexpr int slow_call = 12;

struct Log {
  std::atomic<int> calls{0};
  std::atomic<bool> inside{false};
  HANDLE slow_fill = CreateEventA(nullptr, FALSE, FALSE, nullptr);  // set as call slow_call starts
  bool overlapped = false;
  const std::int16_t* block[max_calls] = {};
  std::size_t frames[max_calls] = {};
  std::int16_t found[max_calls] = {};  // the first sample as the block came back
};

// Stamps each block with its call number, so a block that comes back shows which fill it held.
void fill(void* context, std::int16_t* samples, std::size_t frames) {
  Log& log = *static_cast<Log*>(context);
  if (log.inside.exchange(true)) log.overlapped = true;
  const int n = log.calls.load();
  if (n < max_calls) {
    log.block[n] = samples;
    log.frames[n] = frames;
    log.found[n] = samples[0];
  }
  for (std::size_t i = 0; i < 2 * frames; ++i) samples[i] = static_cast<std::int16_t>(n);
  if (n == slow_call) {
    SetEvent(log.slow_fill);
    Sleep(15);  // slow, yet faster than the device plays a block
  }
  log.inside.store(false);
  log.calls.store(n + 1);
}

int failures = 0;

void check(bool ok, const char* what) {
  if (!ok) ++failures;
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
}

// One open, play and close; false when there is no device to play on.
bool play_once(windows_platform::WaveOutOutput& output) {
  static Log log;
  log.calls.store(0);
  if (!output.open(rate, fill, &log)) return false;
  check(!output.open(rate, fill, &log), "a second open() refused while open");
  output.start();
  // The device hands blocks back as it plays them: wait until it has asked for a dozen, then close
  // in the middle of a fill, which close() must wait out. Give up after 5 s.
  WaitForSingleObject(log.slow_fill, 5000);
  output.close();
  const int calls = log.calls.load();
  Sleep(100);
  check(calls > slow_call, "the device asked for blocks as it played them");
  check(log.calls.load() == calls && !log.inside.load(), "no fill during or after close()");
  check(!log.overlapped, "one fill at a time");
  int ring = 1;  // blocks in turn: the first repeat of the first block's address
  while (ring < calls && log.block[ring] != log.block[0]) ++ring;
  bool in_order = ring >= 2 && ring < calls;
  for (int n = 0; n < calls && n < max_calls; ++n) {
    in_order = in_order && log.frames[n] == log.frames[0];
    if (n >= ring) {
      in_order = in_order && log.block[n] == log.block[n - ring] && log.found[n] == n - ring;
    }
  }
  check(in_order, "equal blocks refilled in turn, each back with the fill it was queued with");
  check(log.frames[0] >= rate / 100 && log.frames[0] <= rate / 20, "blocks of 10 to 50 ms");
  std::printf("%d fills of %zu frames in %d blocks\n", calls, log.frames[0], ring);
  return true;
}

}  // namespace

int main() {
  windows_platform::WaveOutOutput output;
  output.close();  // before any open(): must simply return
  if (!play_once(output)) {
    output.close();
    std::printf("no sound device: open() refused, as it should be without one\n");
    return 0;
  }
  check(play_once(output), "opened again after close()");
  output.close();
  return failures == 0 ? 0 : 1;
}
