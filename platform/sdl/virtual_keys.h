// Windows virtual-key codes for SDL key symbols, as WM_KEYDOWN and WM_KEYUP carry them.
#pragma once

#include <SDL.h>

#include "platform/win32.h"

namespace sdl_platform {

// The virtual-key code of `key`, or 0 for a key without one here.
WPARAM virtual_key_code(SDL_Keycode key);

}  // namespace sdl_platform
