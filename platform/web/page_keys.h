// Windows virtual-key codes for the browser's key names (KeyboardEvent.code: "KeyA", "Digit1",
// "Escape", ...), as WM_KEYDOWN and WM_KEYUP carry them. The code names the key's place on the
// keyboard, so the layout and shift state do not change it, as with virtual keys.
#pragma once

#include <string_view>

#include "platform/win32.h"

namespace web_platform {

// The virtual-key code of the key `code` names, or 0 for a key without one here.
WPARAM virtual_key_code(std::string_view code);

}  // namespace web_platform
