// The page's events as the window messages they become: keys down, held and up with Windows'
// lParam flags; the show active exactly while the page is both visible and focused, told once per
// change; the mouse as WM_SETCURSOR, sent rather than queued.
#include "platform/web/page_input.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using web_platform::PageEvent;

// lParam flags of key messages, from Windows' documentation.
constexpr LPARAM repeat_one = 1;
constexpr LPARAM previous_down = LPARAM{1} << 30;
constexpr LPARAM transition_up = static_cast<LPARAM>(std::uint32_t{1} << 31);
constexpr LPARAM client_mouse_move = 1 | (0x0200 << 16);

struct Step {
  PageEvent event;
  const char* code;
  // The expected message; message 0 for none.
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  bool send = false;
};

struct Case {
  const char* name;
  std::vector<Step> steps;
};

const Case cases[] = {
    {"key down, held, up",
     {{PageEvent::key_down, "Escape", WM_KEYDOWN, VK_ESCAPE, repeat_one},
      {PageEvent::key_repeat, "Escape", WM_KEYDOWN, VK_ESCAPE, repeat_one | previous_down},
      {PageEvent::key_up, "Escape", WM_KEYUP, VK_ESCAPE,
       repeat_one | previous_down | transition_up}}},
    {"a key without a code says nothing",
     {{PageEvent::key_down, "MetaLeft", 0, 0, 0},
      {PageEvent::key_up, "", 0, 0, 0},
      {PageEvent::key_down, "KeyQ", WM_KEYDOWN, 'Q', repeat_one}}},
    {"focus on a visible page activates, losing it deactivates",
     {{PageEvent::shown, "", 0, 0, 0},
      {PageEvent::focused, "", WM_ACTIVATEAPP, 1, 0},
      {PageEvent::focused, "", 0, 0, 0},
      {PageEvent::blurred, "", WM_ACTIVATEAPP, 0, 0},
      {PageEvent::blurred, "", 0, 0, 0},
      {PageEvent::focused, "", WM_ACTIVATEAPP, 1, 0}}},
    {"a hidden page is inactive, focused or not",
     {{PageEvent::focused, "", WM_ACTIVATEAPP, 1, 0},
      {PageEvent::hidden, "", WM_ACTIVATEAPP, 0, 0},
      {PageEvent::blurred, "", 0, 0, 0},
      {PageEvent::shown, "", 0, 0, 0},
      {PageEvent::hidden, "", 0, 0, 0},
      {PageEvent::focused, "", 0, 0, 0},
      {PageEvent::shown, "", WM_ACTIVATEAPP, 1, 0}}},
    {"the mouse asks for the cursor",
     {{PageEvent::pointer_moved, "", WM_SETCURSOR, 0, client_mouse_move, true},
      {PageEvent::none, "", 0, 0, 0},
      {static_cast<PageEvent>(99), "KeyA", 0, 0, 0}}},
};

TEST(PageInput, EventsAsWindowMessages) {
  for (const Case& c : cases) {
    web_platform::PageInput input;
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      const Step& s = c.steps[i];
      const auto m =
          input.translate(s.event, s.code).value_or(web_platform::WindowMessage{0, 0, 0});
      EXPECT_EQ(std::tuple(m.message, m.wparam, m.lparam, m.send),
                std::tuple(s.message, s.wparam, s.lparam, s.send))
          << c.name << ", step " << i;
    }
  }
}

}  // namespace
