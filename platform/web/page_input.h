// What the page tells the show, as the window messages Windows would send: keys as WM_KEYDOWN and
// WM_KEYUP with their virtual-key codes, the page being seen and having the keyboard as
// WM_ACTIVATEAPP, the mouse moving over it as WM_SETCURSOR. The page queues its events; the backend
// hands each to translate() when the show's message pump looks for messages.
#pragma once

#include <optional>
#include <string_view>

#include "platform/win32.h"

namespace web_platform {

// The page's events, numbered as the page's script sends them.
enum class PageEvent : int {
  none = 0,
  key_down = 1,
  key_repeat = 2,  // a key held down, typing again
  key_up = 3,
  shown = 4,  // the page became visible
  hidden = 5,
  focused = 6,  // the page has the keyboard
  blurred = 7,
  pointer_moved = 8,  // over the page
};

struct WindowMessage {
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  // Sent to the window procedure at once rather than queued, as Windows sends WM_SETCURSOR; its
  // wParam, the window, is the backend's to fill in.
  bool send = false;
};

class PageInput {
 public:
  // The message for one event, or none: a key without a virtual-key code, a page event that does
  // not change whether the show is active, an unknown event. `code` is the key's name (see
  // page_keys.h) for key events and unused otherwise.
  std::optional<WindowMessage> translate(PageEvent event, std::string_view code);

  // The show is active while the page is both visible and has the keyboard; at first it is
  // neither known to be focused nor active.
  bool active() const { return active_; }

 private:
  std::optional<WindowMessage> activation();

  bool visible_ = true;
  bool focused_ = false;
  bool active_ = false;
};

}  // namespace web_platform
