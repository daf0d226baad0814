// What the emulated platform remembers between calls: the backend, the screen settings, the
// library's reference count, window classes and windows with their queues, and the display. One
// state per process; install() starts it afresh.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/emulated/emulated_platform.h"
#include "platform/emulated/fault_plan.h"

namespace emulated::detail {

struct QueuedMessage {
  MSG message;
  // Position among all queued messages, so that a peek for any window takes the oldest.
  std::int64_t order;
};

struct WindowClass {
  std::string name;
  WNDPROC procedure;
};

struct Window {
  WNDPROC procedure = nullptr;
  bool alive = false;
  std::deque<QueuedMessage> queue;
};

class EmulatedDirectDraw;

// The one screen: who holds it exclusively and in which mode it is.
struct Display {
  const EmulatedDirectDraw* exclusive_owner = nullptr;
  HWND exclusive_window = nullptr;
  bool mode_set = false;
  int width = 0;
  int height = 0;
  Layout layout = Layout::xrgb8888;
  // Goes up with every mode change: a chain made in an earlier mode is lost.
  std::uint64_t mode_generation = 0;
};

struct State {
  Backend* backend = nullptr;
  ScreenSettings settings;
  int library_references = 0;
  std::vector<WindowClass> classes;
  std::vector<Window> windows;  // never shrinks: a handle is an index that stays meaningful
  HWND last_created_window = nullptr;
  std::int64_t next_back_order = 1;
  std::int64_t next_front_order = 0;
  HCURSOR cursor = nullptr;
  Display display;
  FaultPlan plan;
  std::array<int, static_cast<std::size_t>(Step::exit_process) + 1> calls_made{};
  std::vector<std::string> recorded;
};

State& state();
Backend& backend();

// Window handles are small numbers, never pointers to anything: a stale or invented handle can be
// recognised without touching memory.
HWND window_handle(std::size_t index);
Window* find_window(HWND handle);  // null unless the handle names a window that exists

// Counts a call of `step`, records it when the plan records, and says whether the plan makes it
// fail. Arguments are numbers, or one text.
bool planned_failure(Step step, std::initializer_list<std::int64_t> arguments = {});
bool planned_failure(Step step, const char* text);
inline void record(Step step, std::initializer_list<std::int64_t> arguments = {}) {
  static_cast<void>(planned_failure(step, arguments));
}
inline void record(Step step, const char* text) { static_cast<void>(planned_failure(step, text)); }

// Bytes a surface row takes in the current mode, padding included.
LONG surface_pitch(int width, Layout layout);

}  // namespace emulated::detail
