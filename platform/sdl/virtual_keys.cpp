#include "platform/sdl/virtual_keys.h"

namespace sdl_platform {

namespace {

struct KeyCode {
  SDL_Keycode key;
  WPARAM code;
};

// Keys whose codes are not a run of letters, digits or function keys.
constexpr KeyCode named_keys[] = {
    {SDLK_BACKSPACE, 0x08},  // VK_BACK
    {SDLK_TAB, 0x09},        // VK_TAB
    {SDLK_RETURN, VK_RETURN},
    {SDLK_KP_ENTER, VK_RETURN},  // Windows tells the two apart only by
                                 // the extended-key bit
    {SDLK_LSHIFT, 0x10},         // VK_SHIFT
    {SDLK_RSHIFT, 0x10},
    {SDLK_LCTRL, 0x11},  // VK_CONTROL
    {SDLK_RCTRL, 0x11},
    {SDLK_PAUSE, 0x13},     // VK_PAUSE
    {SDLK_CAPSLOCK, 0x14},  // VK_CAPITAL
    {SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_SPACE, VK_SPACE},
    {SDLK_PAGEUP, 0x21},    // VK_PRIOR
    {SDLK_PAGEDOWN, 0x22},  // VK_NEXT
    {SDLK_END, 0x23},       // VK_END
    {SDLK_HOME, 0x24},      // VK_HOME
    {SDLK_LEFT, 0x25},      // VK_LEFT
    {SDLK_UP, 0x26},        // VK_UP
    {SDLK_RIGHT, 0x27},     // VK_RIGHT
    {SDLK_DOWN, 0x28},      // VK_DOWN
    {SDLK_INSERT, 0x2D},    // VK_INSERT
    {SDLK_DELETE, 0x2E},    // VK_DELETE
};

constexpr WPARAM vk_f1 = 0x70;

}  // namespace

WPARAM virtual_key_code(SDL_Keycode key) {
  // Letters and digits have their upper-case character as code, whatever the shift state.
  if (key >= SDLK_a && key <= SDLK_z) return static_cast<WPARAM>('A' + (key - SDLK_a));
  if (key >= SDLK_0 && key <= SDLK_9) return static_cast<WPARAM>('0' + (key - SDLK_0));
  if (key >= SDLK_F1 && key <= SDLK_F12) return vk_f1 + static_cast<WPARAM>(key - SDLK_F1);
  for (const KeyCode& entry : named_keys) {
    if (entry.key == key) return entry.code;
  }
  return 0;
}

}  // namespace sdl_platform
