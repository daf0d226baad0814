// The program's entry point: what the MinGW start-up code did for the show, and no more.
//
// The x87 unit starts in 64-bit precision as that code left it, so the show's floating point
// rounds as before; the static constructors run, then WinMain; the exit handlers run when WinMain
// returns. The show itself mostly ends in ExitProcess, as a program of its time did.
#include <windows.h>

#include <cstddef>

#include "platform/windows/runtime/runtime.h"

extern "C" void _fpreset();  // MinGW's: fninit, as its start-up code does
extern "C" void __main();    // MinGW's: runs the static constructors once

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show_command);

namespace {

// More than the show registers (its static objects' destructors); a full table refuses more.
constexpr std::size_t max_exit_handlers = 32;
void (*exit_handlers[max_exit_handlers])();
std::size_t exit_handler_count = 0;

}  // namespace

extern "C" int atexit(void (*handler)()) {
  if (exit_handler_count == max_exit_handlers) return -1;
  exit_handlers[exit_handler_count++] = handler;
  return 0;
}

// The stack the system starts a program on may be aligned to 4 bytes only.
extern "C" __attribute__((force_align_arg_pointer)) void WinMainCRTStartup() {
  _fpreset();
  runtime::start_static_guards();
  __main();
  // The show reads no arguments and opens its own full-screen window.
  char no_arguments[] = "";
  const int status = WinMain(GetModuleHandleA(nullptr), nullptr, no_arguments, SW_SHOWDEFAULT);
  while (exit_handler_count > 0) exit_handlers[--exit_handler_count]();
  ExitProcess(static_cast<UINT>(status));
}
