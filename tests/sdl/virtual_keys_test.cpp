// SDL keys against the virtual-key codes Windows documents for them.
#include "platform/sdl/virtual_keys.h"

#include <gtest/gtest.h>

namespace {

using sdl_platform::virtual_key_code;

TEST(VirtualKeys, LettersDigitsAndFunctionKeysHaveTheirCodesAndKeysWithoutOneNone) {
  for (int i = 0; i < 26; ++i) EXPECT_EQ(virtual_key_code(SDLK_a + i), 0x41u + i);  // capitals
  for (int i = 0; i < 10; ++i) EXPECT_EQ(virtual_key_code(SDLK_0 + i), 0x30u + i);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(virtual_key_code(SDLK_F1 + i), 0x70u + i);
  // Both Enter keys are Return, as on Windows; none of the others may come out as Escape.
  EXPECT_EQ(virtual_key_code(SDLK_KP_ENTER), VK_RETURN);
  for (SDL_Keycode key : {SDLK_UNKNOWN, SDLK_F13, SDLK_KP_0, SDLK_MINUS, SDLK_LGUI, SDLK_LALT,
                          SDLK_MENU, SDLK_PRINTSCREEN}) {
    EXPECT_EQ(virtual_key_code(key), 0u) << SDL_GetKeyName(key);
  }
}

}  // namespace
