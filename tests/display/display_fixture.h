// Shared set-up for the display tests: the display state starts closed and the fake starts afresh
// before each test, and no test may leave a misuse of the platform in the log.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "display/display.h"
#include "display/display_state.h"
#include "tests/support/display_state_reset.h"
#include "tests/support/fake_platform.h"

// The calls logged from `index` on.
inline std::vector<std::string> calls_from(int index) {
  const std::vector<std::string>& all = fake::calls();
  return {all.begin() + index, all.end()};
}

inline int log_mark() { return static_cast<int>(fake::calls().size()); }

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_display_state();
    fake::reset();
  }

  void TearDown() override {
    EXPECT_EQ(fake::violations(), std::vector<std::string>{}) << fake::call_log();
  }

  // Starts the fake with `script` and opens a width x height display titled "test".
  void open_display(const fake::Script& script, std::int32_t width, std::int32_t height) {
    fake::reset(script);
    ASSERT_EQ(display_open("test", width, height), 1) << fake::call_log();
  }
};

// What display_close gives back, in its order.
inline std::vector<std::string> closing_calls(BOOL screen_saver_before) {
  return {"Release(surface)",
          "RestoreDisplayMode",
          "SetCooperativeLevel(8)",
          "Release(ddraw)",
          "DestroyWindow",
          "FreeLibrary",
          "SystemParametersInfoA(17," + std::to_string(screen_saver_before) + ")"};
}
