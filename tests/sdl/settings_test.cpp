// Reading the platform settings from the environment: defaults, every variable at its bounds, and
// a clear refusal, naming the variable, of anything else.
#include "platform/sdl/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using emulated::Layout;
using Environment = std::map<std::string, std::string>;

sdl_platform::SettingsResult read(const Environment& environment) {
  return sdl_platform::read_settings([&](const char* name) -> const char* {
    const auto found = environment.find(name);
    return found == environment.end() ? nullptr : found->second.c_str();
  });
}

sdl_platform::Settings valid(const Environment& environment) {
  const sdl_platform::SettingsResult result = read(environment);
  EXPECT_TRUE(result.settings.has_value()) << result.error;
  return result.settings.value_or(sdl_platform::Settings{});
}

// The refusal names the variable and quotes the value it refused.
void expect_refused(const std::string& name, const std::string& value) {
  const sdl_platform::SettingsResult result = read({{name, value}});
  EXPECT_FALSE(result.settings.has_value()) << name << "=" << value;
  EXPECT_NE(result.error.find(name), std::string::npos) << result.error;
  EXPECT_NE(result.error.find("\"" + value + "\""), std::string::npos) << result.error;
}

TEST(PlatformSettings, NothingSetGivesTheDefaults) {
  const sdl_platform::Settings settings = valid({});
  EXPECT_EQ(settings.screen.layouts, std::vector<Layout>{Layout::xrgb8888});
  EXPECT_EQ(settings.screen.row_padding, 0);
  EXPECT_FALSE(settings.windowed);
  EXPECT_EQ(settings.window_scale, 2);
  EXPECT_EQ(settings.retrace_hz, 60);
}

TEST(PlatformSettings, EmptyVariablesCountAsUnset) {
  const sdl_platform::Settings settings = valid({{"SHOW_SCREEN_LAYOUTS", ""},
                                                 {"SHOW_WINDOWED", ""},
                                                 {"SHOW_SCALE", ""},
                                                 {"SHOW_RETRACE_HZ", ""},
                                                 {"SHOW_ROW_PADDING", ""}});
  EXPECT_EQ(settings.screen.layouts, std::vector<Layout>{Layout::xrgb8888});
  EXPECT_FALSE(settings.windowed);
  EXPECT_EQ(settings.window_scale, 2);
  EXPECT_EQ(settings.retrace_hz, 60);
}

TEST(PlatformSettings, LayoutsKeepTheirOrderOfPreference) {
  EXPECT_EQ(valid({{"SHOW_SCREEN_LAYOUTS", "bgr565"}}).screen.layouts,
            std::vector<Layout>{Layout::bgr565});
  EXPECT_EQ(valid({{"SHOW_SCREEN_LAYOUTS", "rgb555,bgr888,xbgr8888"}}).screen.layouts,
            (std::vector<Layout>{Layout::rgb555, Layout::bgr888, Layout::xbgr8888}));
  EXPECT_EQ(valid({{"SHOW_SCREEN_LAYOUTS",
                    "xrgb8888,xbgr8888,rgb888,bgr888,rgb565,bgr565,rgb555,bgr555"}})
                .screen.layouts.size(),
            8u);
}

TEST(PlatformSettings, UnknownOrEmptyLayoutNamesAreRefusedWithTheValidNames) {
  for (const char* value : {"rgb666", "RGB565", "rgb565,", ",rgb565", "rgb565,,bgr565", "rgb565 ",
                            " rgb565", "rgb565;bgr565"}) {
    const sdl_platform::SettingsResult result = read({{"SHOW_SCREEN_LAYOUTS", value}});
    EXPECT_FALSE(result.settings.has_value()) << value;
    EXPECT_NE(result.error.find("SHOW_SCREEN_LAYOUTS"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find("bgr555"), std::string::npos) << result.error;
  }
}

TEST(PlatformSettings, WindowTraceIsOneOrZeroAndOffByDefault) {
  EXPECT_FALSE(valid({}).trace_window);
  EXPECT_FALSE(valid({{"SHOW_TRACE_WINDOW", ""}}).trace_window);
  EXPECT_FALSE(valid({{"SHOW_TRACE_WINDOW", "0"}}).trace_window);
  EXPECT_TRUE(valid({{"SHOW_TRACE_WINDOW", "1"}}).trace_window);
  for (const char* value : {"yes", "2", "1 ", "true"}) {
    const sdl_platform::SettingsResult result = read({{"SHOW_TRACE_WINDOW", value}});
    EXPECT_FALSE(result.settings.has_value()) << value;
    EXPECT_NE(result.error.find("SHOW_TRACE_WINDOW"), std::string::npos) << result.error;
  }
}

TEST(PlatformSettings, WindowedIsOneOrZero) {
  EXPECT_TRUE(valid({{"SHOW_WINDOWED", "1"}}).windowed);
  EXPECT_FALSE(valid({{"SHOW_WINDOWED", "0"}}).windowed);
  for (const char* value : {"yes", "true", "2", "01", " 1"}) expect_refused("SHOW_WINDOWED", value);
}

TEST(PlatformSettings, NumbersAreWholeAndWithinTheirBounds) {
  EXPECT_EQ(valid({{"SHOW_SCALE", "1"}}).window_scale, 1);
  EXPECT_EQ(valid({{"SHOW_SCALE", "8"}}).window_scale, 8);
  EXPECT_EQ(valid({{"SHOW_RETRACE_HZ", "1"}}).retrace_hz, 1);
  EXPECT_EQ(valid({{"SHOW_RETRACE_HZ", "10000"}}).retrace_hz, 10000);
  EXPECT_EQ(valid({{"SHOW_ROW_PADDING", "0"}}).screen.row_padding, 0);
  EXPECT_EQ(valid({{"SHOW_ROW_PADDING", "256"}}).screen.row_padding, 256);

  for (const char* value : {"0", "9", "-1", "2.0", "2x", "x", "99999999999"}) {
    expect_refused("SHOW_SCALE", value);
  }
  for (const char* value : {"0", "10001", "60.0", "60Hz", "+60"}) {
    expect_refused("SHOW_RETRACE_HZ", value);
  }
  for (const char* value : {"-4", "257", "8 "}) expect_refused("SHOW_ROW_PADDING", value);
}

TEST(PlatformSettings, TheFirstBadVariableIsTheOneReported) {
  const sdl_platform::SettingsResult result =
      read({{"SHOW_SCALE", "3"}, {"SHOW_RETRACE_HZ", "fast"}, {"SHOW_SCREEN_LAYOUTS", "rgb565"}});
  EXPECT_FALSE(result.settings.has_value());
  EXPECT_NE(result.error.find("SHOW_RETRACE_HZ"), std::string::npos) << result.error;
}

}  // namespace
