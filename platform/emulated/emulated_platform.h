// The platform subset of platform/win32.h, emulated in memory: "ddraw.dll" and DirectDrawCreate,
// window classes and windows with their message queues, an emulated full-screen display with a
// flipping chain, the screen-saver switch, sleeping and process exit. A backend (a window on the
// desktop, or offline capture) decides what is shown, how a retrace is waited for, where input
// comes from and how the process ends.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/emulated/fault_plan.h"
#include "platform/emulated/screen_layouts.h"
#include "platform/win32.h"

namespace emulated {

struct ScreenSettings {
  // Layouts the emulated screen offers, in order of preference; SetDisplayMode at a depth takes the
  // first offered layout of that bit count and fails when none has it.
  std::vector<Layout> layouts = {Layout::xrgb8888};
  // Bytes each surface row has beyond its pixels.
  int row_padding = 0;
};

// What a frame looks like on the emulated screen after a flip.
struct Frame {
  const std::uint8_t* pixels;  // top row first
  int width;
  int height;
  LONG pitch;  // bytes from one row to the next
  Layout layout;
};

class Backend {
 public:
  virtual ~Backend() = default;

  // The window took (or gave back) exclusive full-screen use of the display.
  virtual void exclusive_mode(bool exclusive) { static_cast<void>(exclusive); }
  // The display mode changed; the next frames come at this size and layout.
  virtual void display_mode(int width, int height, Layout layout) {
    static_cast<void>(width);
    static_cast<void>(height);
    static_cast<void>(layout);
  }
  // The desktop mode is back: nothing of the show is on screen any more.
  virtual void display_mode_restored() {}
  // Flip with DDFLIP_WAIT: returns at the next emulated vertical retrace.
  virtual void wait_for_retrace() {}
  // The front buffer after a flip; valid until the next flip or release.
  virtual void present(const Frame& frame) = 0;
  // Called by PeekMessageA before it looks at the queue: turn system events into messages with
  // emulated::post_message.
  virtual void poll_events() {}
  virtual void sleep(DWORD milliseconds) = 0;
  [[noreturn]] virtual void exit_process(UINT exit_code) = 0;
  virtual void show_cursor(bool shown) { static_cast<void>(shown); }
  virtual bool screen_saver_active() const = 0;
  virtual void set_screen_saver_active(bool active) = 0;
};

// Makes `backend` the platform behind the win32 calls, with a screen of `settings` and the faults
// of `plan`. The backend must outlive every platform call.
void install(Backend& backend, const ScreenSettings& settings, FaultPlan plan = {});

// Queues a message for the window the display created (the last created window); dropped when there
// is none. For backends turning system events into messages.
void post_message(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
// Calls the window procedure of that window at once, as Windows does for activation changes.
LRESULT send_message(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
// The window the display created, or null.
HWND display_window_handle();

}  // namespace emulated
