#include "platform/sdl/outside_events.h"

#include <SDL.h>
#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace sdl_platform {
namespace {

volatile std::sig_atomic_t hang_up = 0;
const char* lost_reason = nullptr;
char error_text[160];

void on_hang_up(int) { hang_up = 1; }

// An error on a request of ours: the window or its drawable is gone. Remembered, so that the show
// ends at its next look at the events.
int on_x_error(Display* display, XErrorEvent* event) {
  if (lost_reason == nullptr) {
    char text[96] = "";
    XGetErrorText(display, event->error_code, text, sizeof(text));
    std::snprintf(error_text, sizeof(error_text), "X error: %s", text);
    lost_reason = error_text;
  }
  return 0;
}

// The connection itself is gone; Xlib ends the process when this returns, so it ends here.
int on_x_io_error(Display*) {
  std::fputs("show: the display was lost: the connection to the X server broke\n", stderr);
  std::_Exit(lost_display_status);
}

}  // namespace

void watch_outside_events() {
  struct sigaction action = {};
  action.sa_handler = on_hang_up;
  sigemptyset(&action.sa_mask);
  sigaction(SIGHUP, &action, nullptr);

  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver != nullptr && std::strcmp(driver, "x11") == 0) {
    XSetErrorHandler(on_x_error);
    XSetIOErrorHandler(on_x_io_error);
  }
}

bool hang_up_requested() { return hang_up != 0; }

const char* display_lost() { return lost_reason; }

}  // namespace sdl_platform
