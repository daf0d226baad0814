// The browser's key names as Windows virtual-key codes: every letter, digit, number-pad digit and
// function key through its run, the named keys, and names that only look like keys.
#include "platform/web/page_keys.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using web_platform::virtual_key_code;

struct Case {
  const char* code;
  WPARAM expected;
};

// Values from the published virtual-key table.
const Case named_keys[] = {
    {"Escape", 0x1B},      {"Enter", 0x0D},        {"NumpadEnter", 0x0D}, {"Space", 0x20},
    {"Backspace", 0x08},   {"Tab", 0x09},          {"ShiftLeft", 0x10},   {"ShiftRight", 0x10},
    {"ControlLeft", 0x11}, {"ControlRight", 0x11}, {"AltLeft", 0x12},     {"AltRight", 0x12},
    {"Pause", 0x13},       {"CapsLock", 0x14},     {"PageUp", 0x21},      {"PageDown", 0x22},
    {"End", 0x23},         {"Home", 0x24},         {"ArrowLeft", 0x25},   {"ArrowUp", 0x26},
    {"ArrowRight", 0x27},  {"ArrowDown", 0x28},    {"Insert", 0x2D},      {"Delete", 0x2E}};

// Not keys of ours, or not keys at all: each breaks one rule of the runs or the names.
const char* const not_keys[] = {"",    "Key", "Keya", "KeyAB",  "F",       "F0",
                                "F01", "F13", "F1.",  "escape", "MetaLeft"};

TEST(PageKeys, NamesAsVirtualKeyCodes) {
  for (const Case& c : named_keys) EXPECT_EQ(virtual_key_code(c.code), c.expected) << c.code;
  for (const char* code : not_keys) EXPECT_EQ(virtual_key_code(code), 0u) << code;
}

TEST(PageKeys, EveryKeyOfEachRun) {
  const auto name = [](std::string prefix, int n) { return prefix.append(std::to_string(n)); };
  for (char c = 'A'; c <= 'Z'; ++c) {
    const char code[] = {'K', 'e', 'y', c, '\0'};
    EXPECT_EQ(virtual_key_code(code), static_cast<WPARAM>(c));
  }
  for (int n = 0; n <= 9; ++n) {
    EXPECT_EQ(virtual_key_code(name("Digit", n)), static_cast<WPARAM>('0' + n));
    EXPECT_EQ(virtual_key_code(name("Numpad", n)), static_cast<WPARAM>(0x60 + n));
  }
  for (int n = 1; n <= 12; ++n) {
    EXPECT_EQ(virtual_key_code(name("F", n)), static_cast<WPARAM>(0x6F + n));
  }
}

}  // namespace
