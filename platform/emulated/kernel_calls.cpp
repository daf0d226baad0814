// Sleeping and ending the process are the backend's to decide: a window on the desktop sleeps for
// real, an offline capture does not.
#include <cstdlib>

#include "platform/emulated/platform_state.h"

void WINAPI Sleep(DWORD milliseconds) {
  emulated::detail::record(emulated::Step::sleep, {milliseconds});
  emulated::detail::backend().sleep(milliseconds);
}

void WINAPI ExitProcess(UINT exit_code) {
  emulated::detail::record(emulated::Step::exit_process, {exit_code});
  emulated::detail::backend().exit_process(exit_code);
  std::abort();  // a backend whose exit returned: the process must not go on
}
