// Window classes and windows. Windows are never shown: a backend decides what the screen shows. A
// window lives from CreateWindowExA to DestroyWindow and keeps its own message queue.
#include <cctype>
#include <cstdint>

#include "platform/emulated/direct_draw.h"
#include "platform/emulated/platform_state.h"

namespace {

using emulated::detail::state;

constexpr UINT WM_DESTROY = 0x0002;
// Atoms of registered classes count from here, as on Windows.
constexpr ATOM first_class_atom = 0xC000;

// Class names are not case-sensitive.
bool same_name(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return i == a.size() && b[i] == '\0';
}

// A class is named by its text or by its atom in the low word of the pointer.
const emulated::detail::WindowClass* find_class(LPCSTR name) {
  auto& classes = state().classes;
  const auto value = reinterpret_cast<std::uintptr_t>(name);
  if (value < 0x10000) {
    const std::size_t index = value - first_class_atom;
    return value >= first_class_atom && index < classes.size() ? &classes[index] : nullptr;
  }
  for (const auto& registered : classes) {
    if (same_name(registered.name, name)) return &registered;
  }
  return nullptr;
}

}  // namespace

namespace emulated {

HWND display_window_handle() {
  const HWND last = detail::state().last_created_window;
  return detail::find_window(last) != nullptr ? last : nullptr;
}

}  // namespace emulated

ATOM WINAPI RegisterClassA(const WNDCLASSA* window_class) {
  if (emulated::detail::planned_failure(
          emulated::Step::register_class,
          window_class != nullptr ? window_class->lpszClassName : nullptr)) {
    return 0;
  }
  if (window_class == nullptr || window_class->lpszClassName == nullptr ||
      window_class->lpfnWndProc == nullptr) {
    return 0;
  }
  if (find_class(window_class->lpszClassName) != nullptr) return 0;  // already registered
  auto& classes = state().classes;
  classes.push_back({window_class->lpszClassName, window_class->lpfnWndProc});
  return static_cast<ATOM>(first_class_atom + classes.size() - 1);
}

HWND WINAPI CreateWindowExA(DWORD, LPCSTR class_name, LPCSTR, DWORD, int, int, int, int, HWND,
                            HMENU, HINSTANCE, LPVOID) {
  if (emulated::detail::planned_failure(emulated::Step::create_window, class_name)) return nullptr;
  if (class_name == nullptr) return nullptr;
  const emulated::detail::WindowClass* window_class = find_class(class_name);
  if (window_class == nullptr) return nullptr;
  auto& s = state();
  emulated::detail::Window window;
  window.procedure = window_class->procedure;
  window.alive = true;
  s.windows.push_back(std::move(window));
  s.last_created_window = emulated::detail::window_handle(s.windows.size() - 1);
  return s.last_created_window;
}

BOOL WINAPI DestroyWindow(HWND handle) {
  emulated::detail::record(emulated::Step::destroy_window);
  emulated::detail::Window* window = emulated::detail::find_window(handle);
  if (window == nullptr) return FALSE;
  // The window hears of its end while it still exists.
  window->procedure(handle, WM_DESTROY, 0, 0);
  window = emulated::detail::find_window(handle);  // the procedure may have destroyed it already
  if (window == nullptr) return TRUE;
  window->alive = false;
  window->queue.clear();
  if (state().display.exclusive_window == handle) emulated::detail::drop_exclusive_mode();
  return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
  // A close request that reaches the default handling destroys the window.
  if (message == WM_CLOSE) DestroyWindow(window);
  return 0;
}
