#include "platform/emulated/platform_state.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <utility>

#include "platform/emulated/direct_draw.h"
#include "platform/emulated/surface.h"

namespace emulated {
namespace detail {
namespace {

// Stands in until a backend is installed: shows nothing, sleeps for real, ends the process.
class UninstalledBackend final : public Backend {
 public:
  void present(const Frame&) override {}
  void sleep(DWORD milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
  [[noreturn]] void exit_process(UINT exit_code) override {
    std::fflush(nullptr);
    std::exit(static_cast<int>(exit_code));
  }
  bool screen_saver_active() const override { return screen_saver_; }
  void set_screen_saver_active(bool active) override { screen_saver_ = active; }

 private:
  bool screen_saver_ = true;
};

// Window handles start here and step by 4, like the handles Windows hands out.
constexpr std::uintptr_t first_window_handle = 0x10010;

}  // namespace

State& state() {
  static State instance;
  return instance;
}

Backend& backend() {
  static UninstalledBackend uninstalled;
  Backend* installed = state().backend;
  return installed != nullptr ? *installed : uninstalled;
}

HWND window_handle(std::size_t index) {
  return reinterpret_cast<HWND>(first_window_handle + 4 * index);
}

Window* find_window(HWND handle) {
  const auto value = reinterpret_cast<std::uintptr_t>(handle);
  if (value < first_window_handle || (value - first_window_handle) % 4 != 0) return nullptr;
  const std::size_t index = (value - first_window_handle) / 4;
  std::vector<Window>& windows = state().windows;
  if (index >= windows.size() || !windows[index].alive) return nullptr;
  return &windows[index];
}

LONG surface_pitch(int width, Layout layout) {
  return static_cast<LONG>(width) * layout_info(layout).bytes_per_pixel +
         state().settings.row_padding;
}

}  // namespace detail

void install(Backend& backend, const ScreenSettings& settings, FaultPlan plan) {
  // Objects handed out before stay in memory but answer errors from now on.
  detail::retire_all_direct_draws();
  detail::retire_all_chains();
  detail::State& s = detail::state();
  s = detail::State{};
  s.backend = &backend;
  s.settings = settings;
  s.plan = std::move(plan);
  if (s.settings.row_padding < 0) s.settings.row_padding = 0;
}

}  // namespace emulated
