// Closing the display gives the screen back in a fixed order and puts the screen-saver switch back
// to what the user had.
#include <string>
#include <vector>

#include "tests/display/display_fixture.h"

namespace {

class CloseTest : public DisplayTest, public ::testing::WithParamInterface<int> {};

TEST_P(CloseTest, GivesBackTheChainTheModeTheWindowAndTheLibrary) {
  fake::Script script;
  script.max_back_buffers = GetParam();
  open_display(script, 640, 400);

  const int mark = log_mark();
  display_close();

  // The back buffers go with the primary surface: one Release for the whole chain.
  EXPECT_EQ(calls_from(mark), closing_calls(TRUE));
  EXPECT_TRUE(fake::nothing_held());
  EXPECT_EQ(fake::display_depth(), 0u);
  EXPECT_EQ(primary_surface, nullptr);
  EXPECT_EQ(direct_draw, nullptr);
  EXPECT_EQ(ddraw_library, nullptr);
}

INSTANTIATE_TEST_SUITE_P(BackBuffers, CloseTest, ::testing::Values(1, 2));

TEST_F(DisplayTest, ClosingAfterTheFirstFramesStillGivesEverythingBack) {
  open_display({}, 16, 8);
  const std::vector<std::uint32_t> frame(16 * 8, 0x123456);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(display_update(frame.data()), 1);
  display_close();
  EXPECT_TRUE(fake::nothing_held());
}

class ScreenSaverTest : public DisplayTest, public ::testing::WithParamInterface<BOOL> {};

TEST_P(ScreenSaverTest, OffWhileOpenAndBackToTheEarlierSettingAfterClose) {
  const BOOL before = GetParam();
  fake::Script script;
  script.screen_saver_active = before;
  open_display(script, 640, 400);
  EXPECT_EQ(fake::screen_saver_active(), FALSE);

  display_close();
  EXPECT_EQ(fake::screen_saver_active(), before);
  EXPECT_EQ(fake::calls().back(), "SystemParametersInfoA(17," + std::to_string(before) + ")");
}

INSTANTIATE_TEST_SUITE_P(EarlierSetting, ScreenSaverTest, ::testing::Values(TRUE, FALSE));

TEST_F(DisplayTest, AnUnreadableScreenSaverSettingIsSwitchedOnAtClose) {
  fake::Script script;
  script.screen_saver_active = FALSE;
  script.fail_get_screen_saver = true;
  open_display(script, 640, 400);
  EXPECT_EQ(fake::screen_saver_active(), FALSE);

  display_close();
  EXPECT_EQ(fake::screen_saver_active(), TRUE);
}

}  // namespace
