#include "display/display.h"
#include "display/display_state.h"
#include "music/bassmod.h"

namespace {

[[noreturn]] void end_show() {
  BASSMOD_Free();
  display_close();
  ExitProcess(0);
}

}  // namespace

LRESULT WINAPI display_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ACTIVATEAPP:
      display_active = static_cast<std::int32_t>(wparam);
      return 0;
    case WM_SETCURSOR:
      SetCursor(nullptr);
      return 0;
    case WM_KEYDOWN:
      // Only the low byte names the key.
      if ((wparam & 0xFF) == VK_ESCAPE) end_show();
      return 0;
    case WM_CLOSE:
      end_show();
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}
