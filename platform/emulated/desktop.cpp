// The desktop's settings the display touches: the mouse cursor and the screen-saver switch, both
// kept by the backend.
#include "platform/emulated/platform_state.h"

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
  emulated::detail::record(emulated::Step::set_cursor, {cursor != nullptr ? 1 : 0});
  auto& s = emulated::detail::state();
  const HCURSOR previous = s.cursor;
  s.cursor = cursor;
  emulated::detail::backend().show_cursor(cursor != nullptr);
  return previous;
}

BOOL WINAPI SystemParametersInfoA(UINT action, UINT uiparam, PVOID pvparam, UINT) {
  if (emulated::detail::planned_failure(emulated::Step::system_parameters, {action, uiparam})) {
    return FALSE;
  }
  emulated::Backend& backend = emulated::detail::backend();
  switch (action) {
    case SPI_GETSCREENSAVEACTIVE:
      if (pvparam == nullptr) return FALSE;
      *static_cast<BOOL*>(pvparam) = backend.screen_saver_active() ? TRUE : FALSE;
      return TRUE;
    case SPI_SETSCREENSAVEACTIVE:
      backend.set_screen_saver_active(uiparam != 0);
      return TRUE;
    default:
      return FALSE;
  }
}
