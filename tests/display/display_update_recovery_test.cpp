// Presenting when the screen is not there: a back buffer that cannot be locked, surfaces lost to
// another program, and the application in the background.
#include <cstdint>
#include <string>
#include <vector>

#include "tests/display/display_fixture.h"
#include "tests/display/screen_oracle.h"

namespace {

constexpr int width = 8;
constexpr int height = 3;
constexpr std::uint8_t fill = 0x5C;

class RecoveryTest : public DisplayTest {
 protected:
  void open(fake::Script script) {
    script.surface_fill = fill;
    open_display(script, width, height);
  }

  static bool shows(const std::vector<std::uint32_t>& frame) {
    return screen_shows(fake::front_buffer(), frame, width, height, fake::pitch(), {}, fill);
  }

  const std::vector<std::uint32_t> first = make_frame(width, height, 10);
  const std::vector<std::uint32_t> second = make_frame(width, height, 11);
};

TEST_F(RecoveryTest, AFailedLockDropsTheFrameAndTheNextOneIsShown) {
  open({});
  ASSERT_EQ(display_update(first.data()), 1);
  fake::script().lock_failures = 1;

  const int mark = log_mark();
  EXPECT_EQ(display_update(second.data()), 0);
  // Nothing unlocked, flipped or slept.
  EXPECT_EQ(calls_from(mark), (std::vector<std::string>{"PeekMessageA", "Restore", "Lock"}));
  EXPECT_EQ(fake::flip_count(), 1);
  EXPECT_TRUE(shows(first));

  EXPECT_EQ(display_update(second.data()), 1);
  EXPECT_TRUE(shows(second));
}

TEST_F(RecoveryTest, SurfacesLostBeforeTheFirstFrameAreRestored) {
  fake::Script script;
  script.surfaces_lost = true;
  open(script);
  EXPECT_EQ(display_update(first.data()), 1);
  EXPECT_TRUE(shows(first));
}

TEST_F(RecoveryTest, RestoreRunsOnEveryFrameAndPresentationResumesAfterALoss) {
  open({});
  for (int i = 0; i < 3; ++i) ASSERT_EQ(display_update(first.data()), 1);
  EXPECT_EQ(fake::count_calls("Restore"), 3);

  fake::lose_surfaces();
  EXPECT_EQ(display_update(second.data()), 1);
  EXPECT_EQ(fake::count_calls("Restore"), 4);
  EXPECT_TRUE(shows(second));
}

TEST_F(RecoveryTest, SurfacesThatCannotBeRestoredYetAreTriedAgainNextFrame) {
  open({});
  ASSERT_EQ(display_update(first.data()), 1);
  fake::lose_surfaces();
  fake::script().restore_failures = 2;

  EXPECT_EQ(display_update(second.data()), 0);
  EXPECT_EQ(display_update(second.data()), 0);
  EXPECT_TRUE(shows(first));
  EXPECT_EQ(fake::flip_count(), 1);

  EXPECT_EQ(display_update(second.data()), 1);
  EXPECT_TRUE(shows(second));
}

TEST_F(RecoveryTest, BeforeActivationFramesAreOnlyPumpedAndSleptOn) {
  fake::Script script;
  script.activate_on_exclusive = false;
  open(script);

  for (int i = 0; i < 3; ++i) {
    const int mark = log_mark();
    EXPECT_EQ(display_update(first.data()), 1);
    EXPECT_EQ(calls_from(mark), (std::vector<std::string>{"PeekMessageA", "Sleep(1)"}));
  }
  EXPECT_EQ(fake::flip_count(), 0);
  for (int position = 0; position <= fake::back_buffer_count(); ++position) {
    for (std::uint8_t byte : fake::chain_buffer(position)) ASSERT_EQ(byte, fill);
  }

  // Activated during the pump: this very call presents.
  fake::post_message(WM_ACTIVATEAPP, TRUE);
  EXPECT_EQ(display_update(second.data()), 1);
  EXPECT_TRUE(shows(second));
}

TEST_F(RecoveryTest, InTheBackgroundFramesAreDroppedAndTheFirstOneBackIsShown) {
  open({});
  ASSERT_EQ(display_update(first.data()), 1);

  fake::post_message(WM_ACTIVATEAPP, FALSE);
  int mark = log_mark();
  EXPECT_EQ(display_update(second.data()), 1);
  EXPECT_EQ(calls_from(mark),
            (std::vector<std::string>{"PeekMessageA", "TranslateMessage", "DispatchMessageA",
                                      "WndProc(WM_ACTIVATEAPP,0)", "PeekMessageA", "Sleep(1)"}));
  mark = log_mark();
  EXPECT_EQ(display_update(second.data()), 1);
  EXPECT_EQ(calls_from(mark), (std::vector<std::string>{"PeekMessageA", "Sleep(1)"}));
  EXPECT_TRUE(shows(first));

  // Another program changed the mode meanwhile: coming back needs nothing but the usual Restore.
  fake::lose_surfaces();
  fake::post_message(WM_ACTIVATEAPP, TRUE);
  const std::vector<std::uint32_t> third = make_frame(width, height, 12);
  EXPECT_EQ(display_update(third.data()), 1);
  EXPECT_TRUE(shows(third));
  EXPECT_EQ(fake::flip_count(), 2);
}

}  // namespace
