// The platform settings read from the environment and from the show's command line: the defaults,
// each variable at its bounds, and a refusal, naming the variable or flag and quoting what it
// refused, of anything else. Each flag must do what its variable does with the same value.
#include "platform/sdl/settings.h"

#include "platform/sdl/command_line.h"

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

// The command line `arguments` with only the variable `name` set to `value`.
sdl_platform::CommandLine read_with(std::vector<const char*> arguments, const std::string& name,
                                    const char* value) {
  return sdl_platform::read_command_line(
      arguments, [&](const char* asked) -> const char* { return asked == name ? value : nullptr; });
}

// Flag, its variable, and the value it is given (null: a switch, which is the variable set to 1).
// clang-format off
const std::tuple<const char*, const char*, const char*> flag_cases[] = {
    {"--window", "SHOW_WINDOWED", nullptr}, {"--trace-window", "SHOW_TRACE_WINDOW", nullptr},
    {"--scale", "SHOW_SCALE", "1"}, {"--scale", "SHOW_SCALE", "8"}, {"--scale", "SHOW_SCALE", "0"},
    {"--scale", "SHOW_SCALE", "9"}, {"--scale", "SHOW_SCALE", "2x"},
    {"--retrace-hz", "SHOW_RETRACE_HZ", "10000"}, {"--retrace-hz", "SHOW_RETRACE_HZ", "10001"},
    {"--row-padding", "SHOW_ROW_PADDING", "256"}, {"--row-padding", "SHOW_ROW_PADDING", "-4"},
    {"--layouts", "SHOW_SCREEN_LAYOUTS", "bgr565,rgb888"},
    {"--layouts", "SHOW_SCREEN_LAYOUTS", "rgb888,argb8888"}};
// clang-format on

TEST(ShowCommandLine, EachFlagDoesWhatItsVariableDoes) {
  for (const auto& [flag, variable, value] : flag_cases) {
    const sdl_platform::SettingsResult by_variable = read(variable, value ? value : "1");
    const std::string joined = std::string(flag) + "=" + (value ? value : "");
    for (const std::vector<const char*>& arguments :
         {value ? std::vector{flag, value} : std::vector{flag},
          value ? std::vector{joined.c_str()} : std::vector{flag}}) {
      SCOPED_TRACE(std::string(arguments[0]) + (arguments.size() > 1 ? arguments[1] : ""));
      // The variable holds a good value the flag must override either way.
      const sdl_platform::CommandLine read = read_with(arguments, variable, "1");
      ASSERT_EQ(read.request, sdl_platform::Request::run);
      ASSERT_EQ(read.settings.settings.has_value(), by_variable.settings.has_value());
      if (by_variable.settings) {
        const sdl_platform::Settings& a = *read.settings.settings;
        const sdl_platform::Settings& b = *by_variable.settings;
        EXPECT_EQ(std::tuple(a.windowed, a.window_scale, a.retrace_hz, a.trace_window,
                             a.screen.row_padding, a.screen.layouts),
                  std::tuple(b.windowed, b.window_scale, b.retrace_hz, b.trace_window,
                             b.screen.row_padding, b.screen.layouts));
      } else {
        std::string expected = by_variable.error;
        expected.replace(expected.find(variable), std::string(variable).size(), flag);
        EXPECT_EQ(read.settings.error, expected);
      }
    }
  }
}

TEST(ShowCommandLine, VariablesCountWhereNoFlagIsGiven) {
  const sdl_platform::CommandLine read = read_with({"--window"}, "SHOW_SCALE", "5");
  ASSERT_TRUE(read.settings.settings) << read.settings.error;
  EXPECT_TRUE(read.settings.settings->windowed);
  EXPECT_EQ(read.settings.settings->window_scale, 5);
  EXPECT_EQ(read_with({"--scale", "3"}, "SHOW_SCALE", "0").settings.settings->window_scale, 3);
  EXPECT_FALSE(read_with({}, "SHOW_SCALE", "0").settings.settings);
}

TEST(ShowCommandLine, HelpVersionAndRefusals) {
  using sdl_platform::Request;
  // clang-format off
  const std::tuple<std::vector<const char*>, Request, const char*> refusals[] = {
      {{"--help"}, Request::help, ""}, {{"-h", "--bogus"}, Request::help, ""},
      {{"--scale", "2", "--version"}, Request::version, ""},
      {{"--bogus"}, Request::run, "\"--bogus\""}, {{"show.raw"}, Request::run, "\"show.raw\""},
      {{"--window=1"}, Request::run, "\"--window=1\""},
      {{"--scale"}, Request::run, "--scale needs"}, {{"--scale="}, Request::run, "--scale needs"},
      {{"--window", "--window"}, Request::run, "--window given twice"},
      {{"--scale", "2", "--scale=3"}, Request::run, "--scale given twice"}};
  // clang-format on
  for (const auto& [arguments, request, error] : refusals) {
    SCOPED_TRACE(arguments[0]);
    const sdl_platform::CommandLine read = read_with(arguments, "", nullptr);
    EXPECT_EQ(read.request, request);
    if (request == Request::run) {
      EXPECT_FALSE(read.settings.settings);
      EXPECT_NE(read.settings.error.find(error), std::string::npos) << read.settings.error;
    }
  }
}

}  // namespace
