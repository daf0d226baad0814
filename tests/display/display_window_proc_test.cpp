// The window procedure, called as the platform calls it: activation, the cursor, the keys, and
// everything else left to the default procedure.
#include <string>
#include <vector>

#include "tests/display/display_fixture.h"

namespace {

class WindowProcTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    fake::Script script;
    script.default_window_proc_result = 0x5EED;  // so that a passed-on message shows in the result
    open_display(script, 640, 400);
  }

  static LRESULT send(UINT message, WPARAM wparam, LPARAM lparam = 0) {
    return fake::window_procedure()(fake::window_handle(), message, wparam, lparam);
  }
};

TEST_F(WindowProcTest, ActivationIsRecordedFromWParam) {
  const int mark = log_mark();
  EXPECT_EQ(send(WM_ACTIVATEAPP, FALSE), 0);
  EXPECT_EQ(display_active, 0);
  EXPECT_EQ(send(WM_ACTIVATEAPP, TRUE), 0);
  EXPECT_NE(display_active, 0);
  EXPECT_EQ(send(WM_ACTIVATEAPP, FALSE), 0);
  EXPECT_EQ(display_active, 0);
  EXPECT_EQ(calls_from(mark), std::vector<std::string>{});
}

TEST_F(WindowProcTest, TheCursorIsHidden) {
  const int mark = log_mark();
  EXPECT_EQ(send(WM_SETCURSOR, 0, 1), 0);
  EXPECT_EQ(calls_from(mark), std::vector<std::string>{"SetCursor(null)"});
}

TEST_F(WindowProcTest, KeysOtherThanEscapeDoNothing) {
  // 0x1B00 and 0x1B1C carry Escape's code outside the low byte.
  for (WPARAM key : {WPARAM{'A'}, VK_SPACE, VK_RETURN, WPARAM{0x1C}, WPARAM{0x1A}, WPARAM{0x1B00},
                     WPARAM{0x1B1C}, WPARAM{0}}) {
    const int mark = log_mark();
    EXPECT_EQ(send(WM_KEYDOWN, key), 0) << key;
    EXPECT_EQ(calls_from(mark), std::vector<std::string>{}) << key;
  }
  EXPECT_TRUE(fake::held().exclusive);
  EXPECT_EQ(fake::held().surfaces, 3);
}

TEST_F(WindowProcTest, OtherMessagesGoToTheDefaultProcedure) {
  constexpr UINT wm_destroy = 0x0002;
  constexpr UINT wm_syscommand = 0x0112;
  struct Message {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
  };
  // Escape released or typed is not Escape pressed.
  for (const Message& m : {Message{WM_KEYUP, VK_ESCAPE, 0x00010001}, Message{WM_CHAR, 0x1B, 7},
                           Message{WM_USER + 7, 99, -5}, Message{wm_destroy, 0, 0},
                           Message{wm_syscommand, 0xF060, 0}}) {
    const int mark = log_mark();
    EXPECT_EQ(send(m.message, m.wparam, m.lparam), 0x5EED) << m.message;
    const std::vector<std::string> logged = calls_from(mark);
    ASSERT_EQ(logged.size(), 1u) << fake::call_log();
    EXPECT_EQ(logged[0].rfind("DefWindowProcA(", 0), 0u) << logged[0];
    const fake::WindowMessage passed = fake::last_default_message();
    EXPECT_EQ(passed.window, fake::window_handle());
    EXPECT_EQ(passed.message, m.message);
    EXPECT_EQ(passed.wparam, m.wparam);
    EXPECT_EQ(passed.lparam, m.lparam);
  }
  EXPECT_TRUE(fake::held().exclusive);
}

struct Ending {
  const char* name;
  UINT message;
  WPARAM wparam;
};

std::string ending_name(const ::testing::TestParamInfo<Ending>& info) { return info.param.name; }

class EndOfShowTest : public WindowProcTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(EndOfShowTest, FreesTheMusicClosesTheDisplayAndExitsWithZero) {
  const int mark = log_mark();
  try {
    send(GetParam().message, GetParam().wparam);
    FAIL() << "the show went on";
  } catch (const fake::ProcessExit& exit) {
    EXPECT_EQ(exit.code, 0u);
  }
  std::vector<std::string> expected = {"BASSMOD_Free()"};
  for (const std::string& call : closing_calls(TRUE)) expected.push_back(call);
  expected.push_back("ExitProcess(0)");
  EXPECT_EQ(calls_from(mark), expected);  // never handed to the default procedure
  EXPECT_TRUE(fake::nothing_held());
  EXPECT_EQ(fake::screen_saver_active(), TRUE);
}

// Only the low byte of the key's wParam names the key.
INSTANTIATE_TEST_SUITE_P(Requests, EndOfShowTest,
                         ::testing::Values(Ending{"Escape", WM_KEYDOWN, VK_ESCAPE},
                                           Ending{"EscapeInALargerWParam", WM_KEYDOWN, 0x11B},
                                           Ending{"EscapeUnderHighBits", WM_KEYDOWN, 0xFFFF1B},
                                           Ending{"Close", WM_CLOSE, 0}),
                         ending_name);

}  // namespace
