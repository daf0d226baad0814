// The runtime show.exe links, checked in a program linked as show.exe is: no GoogleTest, whose own
// runtime this one replaces. Exit status 0 when every check holds, else the number of the first
// that failed (its row in `checks`, from 1); 100 when the exit handlers did not run.
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "music/bassmod.h"
#include "platform/audio/audio_output.h"
#include "tools/xm_writer/xm_module.h"

namespace {

// Set by a static constructor, which must have run before WinMain.
const DWORD process_at_start = GetCurrentProcessId();

bool constructors_ran() { return process_at_start == GetCurrentProcessId(); }

// Rounding, halves away from zero, worked by hand; from 2^52 up every double is whole.
bool rounds_halves_away() {
  struct Case {
    double x;
    long long rounded;
  };
  const Case cases[] = {
      {0.0, 0},
      {0.5, 1},
      {-0.5, -1},
      {2.5, 3},
      {-2.5, -3},
      {1.4999999999999998, 1},
      {0.49999999999999994, 0},
      {-0.49999999999999994, 0},
      {1e9 + 0.5, 1000000001},
      {4503599627370495.5, 4503599627370496},
      {-4503599627370495.5, -4503599627370496},
      {9007199254740993.0, 9007199254740992},
  };
  for (const Case& c : cases) {
    const volatile double x = c.x;
    if (std::llround(x) != c.rounded) return false;
    if (c.rounded >= -2147483647 - 1 && c.rounded <= 2147483647 && std::lround(x) != c.rounded) {
      return false;
    }
  }
  return true;
}

// Square roots whose double is exact, and one that the last bit decides.
bool takes_square_roots() {
  const volatile double four = 4.0, quarter = 0.0625, two = 2.0;
  const volatile double root_four = std::sqrt(four), root_quarter = std::sqrt(quarter);
  const volatile double root_two = std::sqrt(two);
  return root_four == 2.0 && root_quarter == 0.25 && root_two == 1.4142135623730951;
}

// A static local reached by two threads at once starts once, and both see it started.
LONG starts = 0;
int slow_to_start() {
  InterlockedIncrement(&starts);
  Sleep(100);
  return 7;
}
int started_value() {
  static const int value = slow_to_start();
  return value;
}
DWORD WINAPI reach_static(LPVOID result) {
  *static_cast<int*>(result) = started_value();
  return 0;
}
bool statics_start_once() {
  int first = 0, second = 0;
  HANDLE threads[] = {CreateThread(nullptr, 0, reach_static, &first, 0, nullptr),
                      CreateThread(nullptr, 0, reach_static, &second, 0, nullptr)};
  if (threads[0] == nullptr || threads[1] == nullptr) return false;
  WaitForMultipleObjects(2, threads, TRUE, INFINITE);
  CloseHandle(threads[0]);
  CloseHandle(threads[1]);
  return starts == 1 && first == 7 && second == 7;
}

// An output that opens and never asks for sound: BASSMOD_Free then waits its whole limit.
class SilentDevice final : public audio::Output {
 public:
  bool open(int, audio::Fill, void*) override { return true; }
  void start() override {}
  void close() override {}
};

std::vector<std::uint8_t> small_module() {
  xmwrite::Module module;
  module.channels = 2;
  module.orders = {0};
  module.patterns.emplace_back(64, 2);
  return xmwrite::file_bytes(module);
}

// A file that is no module loads nothing and the program goes on; one cut short after its order
// table plays as far as it goes. Free, with an output that never plays the fade, waits for its
// limit (250 ms) on the clock and the sleep of clock.cpp, measured here by the tick count.
bool loads_music_after_a_broken_module() {
  static SilentDevice device;
  audio::install_output(device);
  std::vector<std::uint8_t> module = small_module();
  if (BASSMOD_Init(-1, 44100, 0) != 1) return false;
  const std::uint32_t size = static_cast<std::uint32_t>(module.size());
  module[0] = 'e';
  if (BASSMOD_MusicLoad(1, module.data(), 0, size, 0) != 0) return false;
  module[0] = 'E';
  if (BASSMOD_MusicLoad(1, module.data(), 0, size / 2, 0) != 1) return false;
  if (BASSMOD_MusicPlay() != 1) return false;
  const DWORD before = GetTickCount();
  BASSMOD_Free();
  return GetTickCount() - before >= 200;
}

bool (*const checks[])() = {constructors_ran, rounds_halves_away, takes_square_roots,
                            statics_start_once, loads_music_after_a_broken_module};

int first_failed = 0;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  for (int i = 0; i < static_cast<int>(std::size(checks)) && first_failed == 0; ++i) {
    if (!checks[i]()) first_failed = i + 1;
  }
  // The status comes from an exit handler, so that it is 0 only when they run.
  std::atexit([] { ExitProcess(static_cast<UINT>(first_failed)); });
  return 100;
}
