// SDL keys against the virtual-key codes Windows documents for them.
#include "platform/sdl/virtual_keys.h"

#include <gtest/gtest.h>

namespace {

using sdl_platform::virtual_key_code;

TEST(VirtualKeys, LettersAreTheirCapitalsWhateverTheShiftState) {
  const char* const letters = "abcdefghijklmnopqrstuvwxyz";
  for (int i = 0; i < 26; ++i) {
    EXPECT_EQ(virtual_key_code(letters[i]), static_cast<WPARAM>(0x41 + i)) << letters[i];
  }
}

TEST(VirtualKeys, DigitsOfTheMainRowAreTheirCharacters) {
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(virtual_key_code(SDLK_0 + i), static_cast<WPARAM>(0x30 + i)) << i;
  }
}

TEST(VirtualKeys, FunctionKeysOneToTwelve) {
  const SDL_Keycode keys[12] = {SDLK_F1, SDLK_F2, SDLK_F3, SDLK_F4,  SDLK_F5,  SDLK_F6,
                                SDLK_F7, SDLK_F8, SDLK_F9, SDLK_F10, SDLK_F11, SDLK_F12};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(virtual_key_code(keys[i]), 0x70u + i) << "F" << i + 1;
}

TEST(VirtualKeys, NamedKeys) {
  EXPECT_EQ(virtual_key_code(SDLK_ESCAPE), 0x1Bu);
  EXPECT_EQ(virtual_key_code(SDLK_RETURN), 0x0Du);
  EXPECT_EQ(virtual_key_code(SDLK_KP_ENTER), 0x0Du);
  EXPECT_EQ(virtual_key_code(SDLK_SPACE), 0x20u);
  EXPECT_EQ(virtual_key_code(SDLK_TAB), 0x09u);
  EXPECT_EQ(virtual_key_code(SDLK_BACKSPACE), 0x08u);
  EXPECT_EQ(virtual_key_code(SDLK_LEFT), 0x25u);
  EXPECT_EQ(virtual_key_code(SDLK_UP), 0x26u);
  EXPECT_EQ(virtual_key_code(SDLK_RIGHT), 0x27u);
  EXPECT_EQ(virtual_key_code(SDLK_DOWN), 0x28u);
  EXPECT_EQ(virtual_key_code(SDLK_PAGEUP), 0x21u);
  EXPECT_EQ(virtual_key_code(SDLK_PAGEDOWN), 0x22u);
  EXPECT_EQ(virtual_key_code(SDLK_END), 0x23u);
  EXPECT_EQ(virtual_key_code(SDLK_HOME), 0x24u);
  EXPECT_EQ(virtual_key_code(SDLK_INSERT), 0x2Du);
  EXPECT_EQ(virtual_key_code(SDLK_DELETE), 0x2Eu);
  EXPECT_EQ(virtual_key_code(SDLK_LSHIFT), 0x10u);
  EXPECT_EQ(virtual_key_code(SDLK_RCTRL), 0x11u);
}

// Keys with no code here make no message at all, rather than a wrong one: in particular none of
// them may come out as Escape.
TEST(VirtualKeys, OtherKeysHaveNoCode) {
  for (SDL_Keycode key : {SDLK_UNKNOWN, SDLK_F13, SDLK_F24, SDLK_KP_0, SDLK_MINUS, SDLK_COMMA,
                          SDLK_LGUI, SDLK_LALT, SDLK_MENU, SDLK_AUDIOPLAY, SDLK_PRINTSCREEN}) {
    EXPECT_EQ(virtual_key_code(key), 0u) << SDL_GetKeyName(key);
  }
}

}  // namespace
