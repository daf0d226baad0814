// The platform settings read from the environment: the defaults, each variable at its bounds, and
// a refusal, naming the variable and quoting what it refused, of anything else.
#include "platform/sdl/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using emulated::Layout;

// The settings with only `name` set to `value`.
sdl_platform::SettingsResult read(const std::string& name, const char* value) {
  return sdl_platform::read_settings(
      [&](const char* asked) -> const char* { return asked == name ? value : nullptr; });
}

// What the variable `name` set.
int setting(const sdl_platform::Settings& s, const std::string& name) {
  if (name == "SHOW_SCALE") return s.window_scale;
  if (name == "SHOW_RETRACE_HZ") return s.retrace_hz;
  if (name == "SHOW_ROW_PADDING") return s.screen.row_padding;
  return name == "SHOW_WINDOWED" ? s.windowed : s.trace_window;
}

constexpr int bad = -1;  // the value is refused; no setting takes it

// An empty variable counts as unset.
// clang-format off
const std::tuple<const char*, const char*, int> cases[] = {
    {"SHOW_SCALE", "", 2}, {"SHOW_SCALE", "1", 1}, {"SHOW_SCALE", "8", 8}, {"SHOW_SCALE", "0", bad},
    {"SHOW_SCALE", "9", bad}, {"SHOW_SCALE", "2x", bad}, {"SHOW_SCALE", "99999999999", bad},
    {"SHOW_RETRACE_HZ", "", 60}, {"SHOW_RETRACE_HZ", "1", 1}, {"SHOW_RETRACE_HZ", "10000", 10000},
    {"SHOW_RETRACE_HZ", "0", bad}, {"SHOW_RETRACE_HZ", "10001", bad}, {"SHOW_ROW_PADDING", "", 0},
    {"SHOW_ROW_PADDING", "256", 256}, {"SHOW_ROW_PADDING", "-4", bad},
    {"SHOW_ROW_PADDING", "257", bad}, {"SHOW_WINDOWED", "1", 1}, {"SHOW_WINDOWED", "0", 0},
    {"SHOW_WINDOWED", "01", bad}, {"SHOW_TRACE_WINDOW", "", 0}, {"SHOW_TRACE_WINDOW", "1", 1},
    {"SHOW_SCREEN_LAYOUTS", "rgb565;bgr565", bad}};
// clang-format on

TEST(PlatformSettings, EachValueIsTakenOrRefused) {
  for (const auto& [name, value, expected] : cases) {
    SCOPED_TRACE(std::string(name) + "=\"" + value + "\"");
    const sdl_platform::SettingsResult result = read(name, value);
    EXPECT_EQ(result.settings ? setting(*result.settings, name) : bad, expected) << result.error;
    if (expected == bad) {
      EXPECT_NE(result.error.find(name), std::string::npos) << result.error;
      EXPECT_NE(result.error.find(std::string("\"") + value + "\""), std::string::npos)
          << result.error;
    }
  }
}

TEST(PlatformSettings, LayoutsKeepTheirOrderOfPreference) {
  EXPECT_EQ(read("", nullptr).settings->screen.layouts, std::vector<Layout>{Layout::xrgb8888});
  EXPECT_EQ(
      read("SHOW_SCREEN_LAYOUTS", "bgr555,rgb555,bgr565,rgb565,bgr888,rgb888,xbgr8888,xrgb8888")
          .settings->screen.layouts,
      (std::vector<Layout>{Layout::bgr555, Layout::rgb555, Layout::bgr565, Layout::rgb565,
                           Layout::bgr888, Layout::rgb888, Layout::xbgr8888, Layout::xrgb8888}));
}

}  // namespace
