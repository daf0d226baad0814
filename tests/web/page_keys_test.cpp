// The browser's key names as Windows virtual-key codes: every letter, digit, number-pad digit and
// function key through its run, the named keys, and names that only look like keys.
#include "platform/web/page_keys.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using web_platform::virtual_key_code;

struct Case {
  const char* code;
  WPARAM expected;
};

// Values from the published virtual-key table.
const Case cases[] = {
    {"KeyA", 0x41},
    {"KeyZ", 0x5A},
    {"Digit0", 0x30},
    {"Digit9", 0x39},
    {"Numpad0", 0x60},
    {"Numpad9", 0x69},
    {"F1", 0x70},
    {"F10", 0x79},
    {"F12", 0x7B},
    {"Escape", 0x1B},
    {"Enter", 0x0D},
    {"NumpadEnter", 0x0D},
    {"Space", 0x20},
    {"Backspace", 0x08},
    {"Tab", 0x09},
    {"ShiftLeft", 0x10},
    {"ShiftRight", 0x10},
    {"ControlLeft", 0x11},
    {"AltRight", 0x12},
    {"Pause", 0x13},
    {"CapsLock", 0x14},
    {"PageUp", 0x21},
    {"PageDown", 0x22},
    {"End", 0x23},
    {"Home", 0x24},
    {"ArrowLeft", 0x25},
    {"ArrowUp", 0x26},
    {"ArrowRight", 0x27},
    {"ArrowDown", 0x28},
    {"Insert", 0x2D},
    {"Delete", 0x2E},
    // Not keys of ours, or not keys at all.
    {"", 0},
    {"Key", 0},
    {"Keya", 0},
    {"KeyAB", 0},
    {"Digit", 0},
    {"Digit10", 0},
    {"NumpadAdd", 0},
    {"F", 0},
    {"F0", 0},
    {"F01", 0},
    {"F13", 0},
    {"F1x", 0},
    {"F123", 0},
    {"escape", 0},
    {"MetaLeft", 0},
    {"Unidentified", 0},
};

TEST(PageKeys, NamesAsVirtualKeyCodes) {
  for (const Case& c : cases) {
    EXPECT_EQ(virtual_key_code(c.code), c.expected) << c.code;
  }
}

std::string name(const char* prefix, int n, bool letter) {
  char text[16];
  std::snprintf(text, sizeof text, letter ? "%s%c" : "%s%d", prefix, n);
  return text;
}

TEST(PageKeys, EveryKeyOfEachRun) {
  for (int c = 'A'; c <= 'Z'; ++c) {
    EXPECT_EQ(virtual_key_code(name("Key", c, true)), static_cast<WPARAM>(c));
  }
  for (int n = 0; n <= 9; ++n) {
    EXPECT_EQ(virtual_key_code(name("Digit", n, false)), static_cast<WPARAM>('0' + n));
    EXPECT_EQ(virtual_key_code(name("Numpad", n, false)), static_cast<WPARAM>(0x60 + n));
  }
  for (int n = 1; n <= 12; ++n) {
    EXPECT_EQ(virtual_key_code(name("F", n, false)), static_cast<WPARAM>(0x6F + n));
  }
}

}  // namespace
