#include "platform/web/page_input.h"

#include "platform/web/page_keys.h"

namespace web_platform {

namespace {

// WM_KEYDOWN and WM_KEYUP flags in lParam: a repeat count of 1, the key was down before, the key is
// being released.
constexpr LPARAM key_repeat_count_one = 1;
constexpr LPARAM key_was_down = LPARAM{1} << 30;
constexpr LPARAM key_released = LPARAM{1} << 31;

// Hit-test code and mouse message a WM_SETCURSOR carries in its lParam.
constexpr LPARAM ht_client = 1;
constexpr LPARAM wm_mousemove = 0x0200;

}  // namespace

std::optional<WindowMessage> PageInput::translate(PageEvent event, std::string_view code) {
  switch (event) {
    case PageEvent::key_down:
    case PageEvent::key_repeat:
    case PageEvent::key_up: {
      const WPARAM key = virtual_key_code(code);
      if (key == 0) return std::nullopt;
      if (event == PageEvent::key_up) {
        return WindowMessage{WM_KEYUP, key, key_repeat_count_one | key_was_down | key_released};
      }
      const LPARAM flags = event == PageEvent::key_repeat ? key_repeat_count_one | key_was_down
                                                          : key_repeat_count_one;
      return WindowMessage{WM_KEYDOWN, key, flags};
    }
    case PageEvent::shown:
    case PageEvent::hidden:
      visible_ = event == PageEvent::shown;
      return activation();
    case PageEvent::focused:
    case PageEvent::blurred:
      focused_ = event == PageEvent::focused;
      return activation();
    case PageEvent::pointer_moved:
      return WindowMessage{WM_SETCURSOR, 0, ht_client | (wm_mousemove << 16), true};
    case PageEvent::none:
      break;
  }
  return std::nullopt;
}

std::optional<WindowMessage> PageInput::activation() {
  const bool active = visible_ && focused_;
  if (active == active_) return std::nullopt;
  active_ = active;
  return WindowMessage{WM_ACTIVATEAPP, active ? WPARAM{1} : WPARAM{0}, 0};
}

}  // namespace web_platform
