// Window classes, windows and their queues: the filter by window and by message range, removal,
// dispatch to the right procedure, and the end of a window.
#include <gtest/gtest.h>

#include "tests/platform/platform_fixture.h"

namespace {

constexpr UINT WM_DESTROY = 0x0002;

using WindowTest = PlatformTest;

TEST_F(WindowTest, ClassesAreFoundByNameInAnyCaseOrByAtom) {
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = recording_proc;
  window_class.lpszClassName = "Show Window";
  const ATOM atom = RegisterClassA(&window_class);
  ASSERT_NE(atom, 0);
  EXPECT_EQ(RegisterClassA(&window_class), 0);  // already there
  window_class.lpszClassName = "SHOW WINDOW";
  EXPECT_EQ(RegisterClassA(&window_class), 0);

  EXPECT_NE(CreateWindowExA(0, "show window", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                            nullptr),
            nullptr);
  const auto by_atom = reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(atom));
  EXPECT_NE(
      CreateWindowExA(0, by_atom, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr),
      nullptr);
  EXPECT_EQ(CreateWindowExA(0, "show windows", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                            nullptr),
            nullptr);
  EXPECT_EQ(
      CreateWindowExA(0, nullptr, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr),
      nullptr);

  WNDCLASSA without_procedure = {};
  without_procedure.lpszClassName = "no procedure";
  EXPECT_EQ(RegisterClassA(&without_procedure), 0);
  EXPECT_EQ(RegisterClassA(nullptr), 0);
}

TEST_F(WindowTest, PeekFiltersByWindowAndRangeAndRemovesOnlyWithPmRemove) {
  const HWND first = make_window();
  emulated::post_message(WM_USER + 1, 11);  // for the last created window: first
  const HWND second = make_window();
  emulated::post_message(WM_KEYDOWN, 22);
  emulated::post_message(WM_USER + 2, 33);
  ASSERT_EQ(emulated::display_window_handle(), second);

  MSG msg = {};
  // The first window's filter sees only its own message.
  ASSERT_TRUE(PeekMessageA(&msg, first, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.hwnd, first);
  EXPECT_EQ(msg.message, WM_USER + 1);
  EXPECT_EQ(msg.wParam, 11u);
  // A range: the second window's user message, passing over its key.
  ASSERT_TRUE(PeekMessageA(&msg, second, WM_USER, WM_USER + 10, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER + 2);
  EXPECT_EQ(msg.wParam, 33u);
  EXPECT_FALSE(PeekMessageA(&msg, second, WM_USER, WM_USER + 10, PM_REMOVE));
  EXPECT_FALSE(PeekMessageA(&msg, second, WM_CLOSE, WM_CLOSE, PM_REMOVE));
  // Any window: oldest first.
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, first);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, second);
  EXPECT_EQ(msg.message, WM_KEYDOWN);
  EXPECT_EQ(msg.wParam, 22u);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  // Bounds are inclusive at both ends.
  emulated::post_message(WM_KEYUP, 1);
  EXPECT_TRUE(PeekMessageA(&msg, second, WM_KEYUP, WM_KEYUP, PM_REMOVE));
  EXPECT_FALSE(PeekMessageA(nullptr, nullptr, 0, 0, PM_REMOVE));
  EXPECT_TRUE(received().empty());  // peeking never calls a procedure
}

TEST_F(WindowTest, PeekAsksTheBackendForEventsFirst) {
  const HWND window = make_window();
  backend.on_poll = [] { emulated::post_message(WM_KEYDOWN, VK_ESCAPE); };
  MSG msg = {};
  ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_KEYDOWN);
  EXPECT_EQ(backend.polls, 1);
}

TEST_F(WindowTest, DispatchHandsTheMessageToItsWindowsProcedure) {
  const HWND window = make_window();
  emulated::post_message(WM_ACTIVATEAPP, 1, 77);
  MSG msg = {};
  ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
  EXPECT_FALSE(TranslateMessage(&msg));
  DispatchMessageA(&msg);
  ASSERT_EQ(received().size(), 1u);
  EXPECT_EQ(received()[0].window, window);
  EXPECT_EQ(received()[0].message, WM_ACTIVATEAPP);
  EXPECT_EQ(received()[0].wparam, 1u);
  EXPECT_EQ(received()[0].lparam, 77);

  MSG stale = msg;
  stale.hwnd = reinterpret_cast<HWND>(&msg);  // no window of ours
  EXPECT_EQ(DispatchMessageA(&stale), 0);
  EXPECT_EQ(DispatchMessageA(nullptr), 0);
  EXPECT_EQ(received().size(), 1u);
}

TEST_F(WindowTest, SendCallsTheDisplayWindowAtOnceAndPostWithoutWindowIsDropped) {
  emulated::post_message(WM_KEYDOWN, 1);
  EXPECT_EQ(emulated::send_message(WM_ACTIVATEAPP, 1), 0);
  EXPECT_TRUE(received().empty());
  const HWND window = make_window();
  MSG msg = {};
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  emulated::send_message(WM_ACTIVATEAPP, 1, 5);
  ASSERT_EQ(received().size(), 1u);
  EXPECT_EQ(received()[0].window, window);
  EXPECT_EQ(received()[0].lparam, 5);
}

TEST_F(WindowTest, TranslateQueuesTheKeysCharacterAheadOfEverythingElse) {
  const HWND window = make_window();
  emulated::post_message(WM_KEYDOWN, 'Q');
  emulated::post_message(WM_USER);
  MSG msg = {};
  ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
  EXPECT_TRUE(TranslateMessage(&msg));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_CHAR);
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>('q'));
  ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER);

  // A key without a character is still a key message.
  emulated::post_message(WM_KEYDOWN, 0x70);  // F1
  ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
  EXPECT_TRUE(TranslateMessage(&msg));
  EXPECT_FALSE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
}

TEST_F(WindowTest, CloseToTheDefaultProcedureDestroysTheWindowAndItsQueue) {
  const HWND window = make_window();
  emulated::post_message(WM_USER);
  emulated::post_message(WM_CLOSE);
  MSG msg = {};
  ASSERT_TRUE(PeekMessageA(&msg, window, WM_CLOSE, WM_CLOSE, PM_REMOVE));
  DispatchMessageA(&msg);  // the recording procedure passes it on to DefWindowProcA

  ASSERT_EQ(received().size(), 2u);
  EXPECT_EQ(received()[0].message, WM_CLOSE);
  EXPECT_EQ(received()[1].message, WM_DESTROY);
  EXPECT_EQ(received()[1].window, window);
  EXPECT_EQ(emulated::display_window_handle(), nullptr);
  EXPECT_FALSE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));  // its queue went with it
  EXPECT_FALSE(DestroyWindow(window));
  emulated::post_message(WM_USER);  // nowhere to go
  EXPECT_EQ(received().size(), 2u);
}

TEST_F(WindowTest, OtherMessagesToTheDefaultProcedureChangeNothing) {
  const HWND window = make_window();
  for (UINT message : {WM_KEYDOWN, WM_SETCURSOR, WM_ACTIVATEAPP, WM_CHAR, WM_USER}) {
    EXPECT_EQ(DefWindowProcA(window, message, 1, 0), 0);
  }
  EXPECT_EQ(emulated::display_window_handle(), window);
  EXPECT_TRUE(received().empty());
  EXPECT_EQ(DefWindowProcA(nullptr, WM_CLOSE, 0, 0), 0);  // no window to destroy
}

TEST_F(WindowTest, InventedHandlesAreNoWindows) {
  const HWND window = make_window();
  MSG msg = {};
  for (std::uintptr_t offset : {1u, 2u, 4u, 400u}) {
    const HWND invented = reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(window) + offset);
    EXPECT_FALSE(PeekMessageA(&msg, invented, 0, 0, PM_REMOVE));
    EXPECT_FALSE(DestroyWindow(invented));
  }
  EXPECT_FALSE(DestroyWindow(reinterpret_cast<HWND>(&msg)));
  EXPECT_TRUE(DestroyWindow(window));
}

}  // namespace
