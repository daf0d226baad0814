// Windows and their queues: the order messages are taken in, the filters, the character a key
// makes, dispatch, and handles of windows that are gone or never were.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <utility>

#include "tests/platform/platform_fixture.h"

namespace {

constexpr UINT WM_DESTROY = 0x0002;
using Windows = PlatformTest;

// Messages are taken as the display's pump takes them, each removed one translated.
TEST_F(Windows, PeekTakesTheOldestMatchingMessageAfterPollingTheBackend) {
  const HWND first = make_window();
  emulated::post_message(WM_USER + 1, 1);  // to the window made last
  const HWND second = make_window();
  emulated::post_message(WM_KEYDOWN, 'Q');
  emulated::post_message(WM_USER + 2, 2);
  emulated::post_message(WM_USER + 4, 4);
  backend.on_poll = [&] {
    if (backend.polls == 1) emulated::post_message(WM_USER + 3, 3);
  };
  // Window, filter from, filter to, removal; the message found (0: none) and its wParam.
  const std::tuple<HWND, UINT, UINT, UINT, UINT, WPARAM> peeks[] = {
      {second, WM_USER + 3, WM_USER + 3, PM_REMOVE, WM_USER + 3, 3},  // posted by the poll
      {first, 0, 0, PM_NOREMOVE, WM_USER + 1, 1},
      {second, WM_USER, WM_USER + 2, PM_REMOVE, WM_USER + 2, 2},  // passes over the key
      {second, WM_USER, WM_USER + 2, PM_REMOVE, 0, 0},
      {second, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE, WM_KEYDOWN, 'Q'},  // both bounds count
      {nullptr, 0, 0, PM_REMOVE, WM_USER + 1, 1},
      {nullptr, 0, 0, PM_REMOVE, WM_KEYDOWN, 'Q'},
      {nullptr, 0, 0, PM_REMOVE, WM_CHAR, 'q'},  // the key's character, ahead of the rest
      {nullptr, 0, 0, PM_REMOVE, WM_USER + 4, 4},
      {nullptr, 0, 0, PM_REMOVE, 0, 0},
  };
  for (const auto& [window, from, to, removal, message, wparam] : peeks) {
    MSG msg = {};
    EXPECT_EQ(PeekMessageA(&msg, window, from, to, removal), message != 0 ? TRUE : FALSE);
    EXPECT_EQ(std::pair(msg.message, msg.wParam), std::pair(message, wparam));
    if (removal == PM_REMOVE) TranslateMessage(&msg);
  }
  EXPECT_TRUE(received.empty());  // peeking calls no procedure
}

TEST_F(Windows, MessagesReachALiveWindowsProcedureOnly) {
  emulated::post_message(WM_USER);  // no window yet: dropped
  const HWND window = make_window();
  emulated::send_message(WM_ACTIVATEAPP, 1);
  emulated::post_message(WM_USER, 7);
  emulated::post_message(WM_CLOSE);
  EXPECT_EQ(DefWindowProcA(window, WM_KEYDOWN, 1, 0), 0);  // only a close destroys
  // Handles near a live one are no windows.
  for (std::uintptr_t offset : {1u, 2u, 4u, 400u}) {
    const HWND other = reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(window) + offset);
    EXPECT_FALSE(DestroyWindow(other)) << offset;
  }
  MSG msg = {};
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  // The recording procedure handed the close on to DefWindowProcA, which destroyed the window.
  const std::vector<std::pair<UINT, WPARAM>> heard = {
      {WM_ACTIVATEAPP, 1}, {WM_USER, 7}, {WM_CLOSE, 0}, {WM_DESTROY, 0}};
  std::vector<std::pair<UINT, WPARAM>> got;
  for (const MSG& m : received) got.emplace_back(m.hwnd == window ? m.message : 0, m.wParam);
  EXPECT_EQ(got, heard);

  // Nothing reaches it any more.
  EXPECT_EQ(emulated::display_window_handle(), nullptr);
  EXPECT_FALSE(DestroyWindow(window));
  EXPECT_EQ(DispatchMessageA(&msg), 0);
  emulated::post_message(WM_USER);
  emulated::send_message(WM_USER);
  EXPECT_EQ(received.size(), heard.size());
}

}  // namespace
