#include "platform/web/page_keys.h"

namespace web_platform {

namespace {

struct KeyCode {
  std::string_view code;
  WPARAM key;
};

// Keys whose names are not a run of letters, digits, function keys or number-pad digits.
constexpr KeyCode named_keys[] = {
    {"Backspace", 0x08},  // VK_BACK
    {"Tab", 0x09},        // VK_TAB
    {"Enter", VK_RETURN},
    {"NumpadEnter", VK_RETURN},  // Windows tells the two apart only by the extended-key bit
    {"ShiftLeft", 0x10},         // VK_SHIFT
    {"ShiftRight", 0x10},
    {"ControlLeft", 0x11},  // VK_CONTROL
    {"ControlRight", 0x11},
    {"AltLeft", 0x12},  // VK_MENU
    {"AltRight", 0x12},
    {"Pause", 0x13},     // VK_PAUSE
    {"CapsLock", 0x14},  // VK_CAPITAL
    {"Escape", VK_ESCAPE},
    {"Space", VK_SPACE},
    {"PageUp", 0x21},      // VK_PRIOR
    {"PageDown", 0x22},    // VK_NEXT
    {"End", 0x23},         // VK_END
    {"Home", 0x24},        // VK_HOME
    {"ArrowLeft", 0x25},   // VK_LEFT
    {"ArrowUp", 0x26},     // VK_UP
    {"ArrowRight", 0x27},  // VK_RIGHT
    {"ArrowDown", 0x28},   // VK_DOWN
    {"Insert", 0x2D},      // VK_INSERT
    {"Delete", 0x2E},      // VK_DELETE
};

// A run of keys named `prefix` then one character from `first` on, coded from `base` on.
struct KeyRun {
  std::string_view prefix;
  char first;
  char last;
  WPARAM base;
};

constexpr KeyRun runs[] = {
    {"Key", 'A', 'Z', 'A'},      // letters: their upper-case character
    {"Digit", '0', '9', '0'},    // digits above the letters: their character
    {"Numpad", '0', '9', 0x60},  // VK_NUMPAD0 on
};

constexpr WPARAM vk_f1 = 0x70;
constexpr int function_keys = 12;

WPARAM function_key(std::string_view number) {
  if (number.empty() || number.size() > 2 || number.front() == '0') return 0;
  int n = 0;
  for (const char c : number) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n >= 1 && n <= function_keys ? vk_f1 + static_cast<WPARAM>(n - 1) : 0;
}

}  // namespace

WPARAM virtual_key_code(std::string_view code) {
  for (const KeyRun& run : runs) {
    if (code.size() == run.prefix.size() + 1 && code.starts_with(run.prefix)) {
      const char c = code.back();
      if (c >= run.first && c <= run.last) return run.base + static_cast<WPARAM>(c - run.first);
    }
  }
  if (code.size() > 1 && code.front() == 'F') return function_key(code.substr(1));
  for (const KeyCode& entry : named_keys) {
    if (entry.code == code) return entry.key;
  }
  return 0;
}

}  // namespace web_platform
