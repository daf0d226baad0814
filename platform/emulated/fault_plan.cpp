#include "platform/emulated/fault_plan.h"

#include <iterator>
#include <tuple>
#include <utility>

#include "platform/emulated/platform_state.h"
#include "platform/emulated/surface.h"

namespace emulated {
namespace detail {
namespace {

constexpr const char* step_names[] = {
    "LoadLibraryA",
    "GetProcAddress",
    "FreeLibrary",
    "DirectDrawCreate",
    "Release",
    "RegisterClassA",
    "CreateWindowExA",
    "DestroyWindow",
    "DispatchMessageA",
    "SendMessage",
    "SetCooperativeLevel",
    "SetDisplayMode",
    "RestoreDisplayMode",
    "CreateSurface",
    "Release",
    "GetAttachedSurface",
    "GetPixelFormat",
    "Lock",
    "Unlock",
    "Restore",
    "Flip",
    "SetCursor",
    "SystemParametersInfoA",
    "Sleep",
    "ExitProcess",
};
static_assert(std::size(step_names) == std::tuple_size_v<decltype(State::calls_made)>);

// Counts the call and answers whether the plan makes it fail.
bool counted_failure(Step step) {
  State& s = state();
  const int index = s.calls_made[static_cast<std::size_t>(step)]++;
  for (const Fault& fault : s.plan.faults) {
    if (fault.step != step || index < fault.after) continue;
    if (fault.times < 0 || index - fault.after < fault.times) return true;
  }
  return false;
}

// "Name(arguments)" at the end of the record.
void add_line(Step step, std::string_view arguments) {
  std::string line = step_names[static_cast<std::size_t>(step)];
  line.push_back('(');
  line.append(arguments);
  line.push_back(')');
  state().recorded.push_back(std::move(line));
}

}  // namespace

bool planned_failure(Step step, std::initializer_list<std::int64_t> arguments) {
  if (state().plan.record_calls) {
    std::string joined;
    for (const std::int64_t argument : arguments) {
      if (!joined.empty()) joined.push_back(',');
      joined.append(std::to_string(argument));
    }
    add_line(step, joined);
  }
  return counted_failure(step);
}

bool planned_failure(Step step, const char* text) {
  if (state().plan.record_calls) add_line(step, text != nullptr ? text : "null");
  return counted_failure(step);
}

}  // namespace detail

const std::vector<std::string>& recorded_calls() { return detail::state().recorded; }

void record_call(std::string_view line) {
  detail::State& s = detail::state();
  if (s.plan.record_calls) s.recorded.emplace_back(line);
}

Held held() {
  const detail::State& s = detail::state();
  Held now;
  now.library_references = s.library_references;
  now.exclusive = s.display.exclusive_owner != nullptr;
  now.mode_switched = s.display.mode_set;
  now.primary_surface = detail::live_chain() != nullptr;
  for (const detail::Window& window : s.windows) now.windows += window.alive ? 1 : 0;
  return now;
}

void lose_surfaces() { ++detail::state().display.mode_generation; }

}  // namespace emulated
