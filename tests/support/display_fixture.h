// The display and show tests: a fresh emulated platform with a test backend for each test, every
// call recorded, and the display's state as at process start.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "display/display.h"
#include "display/display_state.h"
#include "platform/emulated/emulated_platform.h"
#include "tests/support/test_backend.h"

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    display_width = 0;
    display_height = 0;
    ddraw_library = nullptr;
    direct_draw = nullptr;
    display_window_class = {};
    display_window = nullptr;
    primary_surface = nullptr;
    back_buffer = nullptr;
    row_converter = nullptr;
    display_active = 0;
    screen_saver_setting = TRUE;
    backend = TestBackend{};
    backend.activate_on_exclusive = true;
    start();
  }

  // A new platform offering `layouts`, rows padded by `padding` bytes, failing as `plan` says.
  void start(emulated::FaultPlan plan = {},
             std::vector<emulated::Layout> layouts = {emulated::Layout::xrgb8888},
             int padding = 0) {
    plan.record_calls = true;
    emulated::ScreenSettings settings;
    settings.layouts = std::move(layouts);
    settings.row_padding = padding;
    emulated::install(backend, settings, std::move(plan));
  }

  void open(std::int32_t width = 640, std::int32_t height = 400) {
    ASSERT_EQ(display_open("test", width, height), 1) << log();
  }

  // The exit status when the show ended inside `call`, otherwise -1 - what it returned.
  template <class Call>
  static int status_of(Call call) {
    try {
      return -1 - call();
    } catch (const ProcessEnded& ended) {
      return static_cast<int>(ended.code);
    }
  }
  static int update(const std::uint32_t* pixels) {
    return status_of([=] { return display_update(pixels); });
  }

  static std::size_t mark() { return emulated::recorded_calls().size(); }
  static std::vector<std::string> calls_from(std::size_t from) {
    const std::vector<std::string>& all = emulated::recorded_calls();
    return {all.begin() + static_cast<std::ptrdiff_t>(from), all.end()};
  }
  static int count(const std::string& call, std::size_t from = 0) {
    int n = 0;
    for (const std::string& line : calls_from(from)) n += line == call ? 1 : 0;
    return n;
  }
  static std::string log() { return testing::PrintToString(emulated::recorded_calls()); }

  TestBackend backend;
};

// Names a parameterised case by its record's `name`.
struct CaseName {
  template <class Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& tested) const {
    return tested.param.name;
  }
};

// What display_close gives back, in its order.
inline std::vector<std::string> closing_calls(BOOL screen_saver_before) {
  return {"Release(surface)",
          "RestoreDisplayMode()",
          "SetCooperativeLevel(8)",
          "Release(ddraw)",
          "DestroyWindow()",
          "FreeLibrary()",
          "SystemParametersInfoA(17," + std::to_string(screen_saver_before) + ")"};
}
// How the show ends on its own or when asked: the music freed, the display closed, the exit.
inline std::vector<std::string> ending_calls() {
  std::vector<std::string> ending = closing_calls(TRUE);
  ending.insert(ending.begin(), "BASSMOD_Free()");
  ending.push_back("ExitProcess(0)");
  return ending;
}
