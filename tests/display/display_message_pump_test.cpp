// The message pump of display_update: every waiting message of the display window, and only those,
// is handed to the window procedure before the frame; Escape or a close request waiting there ends
// the process from inside the call, and that call's frame is never shown.
#include <cstdint>
#include <regex>
#include <string>
#include <vector>

#include "tests/display/display_fixture.h"
#include "tests/display/screen_oracle.h"

namespace {

constexpr int width = 8;
constexpr int height = 4;
constexpr std::uint8_t fill = 0x3D;

class PumpTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    fake::Script script;
    script.surface_fill = fill;
    open_display(script, width, height);
    ASSERT_EQ(display_update(shown.data()), 1);
  }

  const std::vector<std::uint32_t> shown = make_frame(width, height, 20);
  const std::vector<std::uint32_t> next = make_frame(width, height, 21);
};

TEST_F(PumpTest, AllWaitingMessagesAreDispatchedInOrderBeforeTheFrame) {
  fake::post_message(WM_USER + 1, 5);
  fake::post_message(WM_KEYDOWN, 'A');
  fake::post_message(WM_SETCURSOR, 0, 1);
  const int mark = log_mark();
  EXPECT_EQ(display_update(next.data()), 1);

  const std::vector<std::string> expected = {"PeekMessageA",
                                             "TranslateMessage",
                                             "DispatchMessageA",
                                             "WndProc(0x401,5)",
                                             "DefWindowProcA(0x401,5)",
                                             "PeekMessageA",
                                             "TranslateMessage",
                                             "DispatchMessageA",
                                             "WndProc(WM_KEYDOWN,65)",
                                             "PeekMessageA",
                                             "TranslateMessage",
                                             "DispatchMessageA",
                                             "WndProc(WM_SETCURSOR,0)",
                                             "SetCursor(null)",
                                             "PeekMessageA",
                                             "Restore",
                                             "Lock",
                                             "Unlock",
                                             "Flip",
                                             "Sleep(0)"};
  EXPECT_EQ(calls_from(mark), expected);
  EXPECT_EQ(fake::pending_messages(), 0);
}

TEST_F(PumpTest, MessagesForAnotherWindowAreLeftInTheQueue) {
  fake::post_foreign_message(WM_KEYDOWN, VK_ESCAPE);
  fake::post_foreign_message(WM_CLOSE);
  EXPECT_EQ(display_update(next.data()), 1);
  EXPECT_EQ(fake::count_calls("DispatchMessageA"), 0);
  EXPECT_EQ(fake::pending_messages(), 2);
  EXPECT_TRUE(screen_shows(fake::front_buffer(), next, width, height, fake::pitch(), {}, fill));
}

class PumpEndTest : public PumpTest, public ::testing::WithParamInterface<WPARAM> {};

TEST_P(PumpEndTest, EscapeEndsTheShowAndItsFrameIsNotShown) {
  fake::post_message(WM_KEYDOWN, GetParam());
  const int mark = log_mark();
  EXPECT_THROW(display_update(next.data()), fake::ProcessExit);

  std::vector<std::string> expected = {"PeekMessageA", "TranslateMessage", "DispatchMessageA",
                                       "WndProc(WM_KEYDOWN," + std::to_string(GetParam()) + ")",
                                       "BASSMOD_Free()"};
  for (const std::string& call : closing_calls(TRUE)) expected.push_back(call);
  expected.push_back("ExitProcess(0)");
  EXPECT_EQ(calls_from(mark), expected);
  EXPECT_EQ(fake::flip_count(), 1);
  EXPECT_TRUE(screen_shows(fake::front_buffer(), shown, width, height, fake::pitch(), {}, fill));
  EXPECT_TRUE(fake::nothing_held());
}

INSTANTIATE_TEST_SUITE_P(EscapeCodes, PumpEndTest, ::testing::Values(VK_ESCAPE, WPARAM{0x11B}));

// The log the fake prints on exit, from the last frame's sleep to the exit, line by line.
std::string log_tail_pattern(const std::string& message) {
  std::vector<std::string> lines = {"Sleep(0)",         "PeekMessageA", "TranslateMessage",
                                    "DispatchMessageA", message,        "BASSMOD_Free()"};
  for (const std::string& call : closing_calls(TRUE)) lines.push_back(call);
  lines.push_back("ExitProcess(0)");
  std::string pattern;
  for (const std::string& line : lines) {
    pattern += std::regex_replace(line, std::regex(R"([()])"), R"(\$&)") + "\n";
  }
  return pattern;
}

using PumpDeathTest = PumpTest;

TEST_F(PumpDeathTest, EscapeExitsWithZero) {
  fake::script().exit_mode = fake::ExitMode::Exit;
  fake::post_message(WM_KEYDOWN, VK_ESCAPE);
  EXPECT_EXIT(display_update(next.data()), ::testing::ExitedWithCode(0),
              log_tail_pattern("WndProc(WM_KEYDOWN,27)"));
}

TEST_F(PumpDeathTest, EscapeInTheLowByteOfALargerWParamExitsWithZero) {
  fake::script().exit_mode = fake::ExitMode::Exit;
  fake::post_message(WM_KEYDOWN, 0x11B);
  EXPECT_EXIT(display_update(next.data()), ::testing::ExitedWithCode(0),
              log_tail_pattern("WndProc(WM_KEYDOWN,283)"));
}

TEST_F(PumpDeathTest, CloseRequestExitsWithZero) {
  fake::script().exit_mode = fake::ExitMode::Exit;
  fake::post_message(WM_CLOSE);
  EXPECT_EXIT(display_update(next.data()), ::testing::ExitedWithCode(0),
              log_tail_pattern("WndProc(WM_CLOSE,0)"));
}

}  // namespace
