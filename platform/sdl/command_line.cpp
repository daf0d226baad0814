#include "platform/sdl/command_line.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace sdl_platform {

const char* const usage =
    "usage: show [--window] [--scale N] [--layouts LIST] [--retrace-hz N] [--row-padding N]\n"
    "            [--trace-window]\n"
    "Plays the show full screen, reading its pictures, font and music from the working directory,\n"
    "or from where it is installed when the working directory has none. Escape ends it.\n"
    "  --window          a window of 640x400 times the scale instead of the full screen\n"
    "  --scale N         the window's scale, 1 to 8 (default 2)\n"
    "  --layouts LIST    pixel layouts the emulated screen offers, preferred first, separated\n"
    "                    by commas: xrgb8888 (default), xbgr8888, rgb888, bgr888, rgb565,\n"
    "                    bgr565, rgb555, bgr555\n"
    "  --retrace-hz N    the emulated vertical retrace's rate, 1 to 10000 (default 60)\n"
    "  --row-padding N   extra bytes at the end of each emulated surface row, 0 to 256\n"
    "                    (default 0)\n"
    "  --trace-window    a line on stderr for each change of the window's visibility and focus\n"
    "  --help, --version\n"
    "Each flag has an environment variable, taken when the flag is not given: SHOW_WINDOWED=1,\n"
    "SHOW_SCALE, SHOW_SCREEN_LAYOUTS, SHOW_RETRACE_HZ, SHOW_ROW_PADDING, SHOW_TRACE_WINDOW=1.\n"
    "F11 or Alt+Enter switches between full screen and a window.\n"
    "Exit status: 0 when the show ends, 1 when its display cannot be opened, 2 for a bad flag or\n"
    "setting, 3 when there is no display, 5 when the display is lost while the show runs.\n";

namespace {

struct Flag {
  std::string_view name;
  const char* variable;
  bool takes_value;  // otherwise a switch, which sets its variable to 1
};

constexpr std::array<Flag, 6> flags{{
    {"--window", "SHOW_WINDOWED", false},
    {"--scale", "SHOW_SCALE", true},
    {"--layouts", "SHOW_SCREEN_LAYOUTS", true},
    {"--retrace-hz", "SHOW_RETRACE_HZ", true},
    {"--row-padding", "SHOW_ROW_PADDING", true},
    {"--trace-window", "SHOW_TRACE_WINDOW", false},
}};

CommandLine refused(std::string error) {
  CommandLine result;
  result.settings.error = std::move(error) + " (show --help lists the flags)";
  return result;
}

}  // namespace

CommandLine read_command_line(std::span<const char* const> arguments,
                              const EnvironmentLookup& environment) {
  // What each flag gave, null when it was not given.
  std::array<const char*, flags.size()> given{};
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--help" || argument == "-h") return {Request::help, {}};
    if (argument == "--version") return {Request::version, {}};
    const std::size_t equals = argument.find('=');
    const std::string_view name = argument.substr(0, equals);
    const auto* flag =
        std::find_if(flags.begin(), flags.end(), [&](const Flag& f) { return f.name == name; });
    if (flag == flags.end() || (equals != std::string_view::npos && !flag->takes_value)) {
      return refused("unknown argument \"" + std::string(argument) + "\"");
    }
    const char*& value = given[static_cast<std::size_t>(flag - flags.begin())];
    if (value != nullptr) return refused(std::string(name) + " given twice");
    if (!flag->takes_value) {
      value = "1";
    } else if (equals != std::string_view::npos) {
      value = arguments[i] + equals + 1;
    } else if (i + 1 < arguments.size()) {
      value = arguments[++i];
    } else {
      return refused(std::string(name) + " needs a value");
    }
    if (*value == '\0') return refused(std::string(name) + " needs a value");
  }
  CommandLine result;
  result.settings = read_settings_from([&](const char* variable) {
    for (std::size_t i = 0; i < flags.size(); ++i) {
      if (given[i] != nullptr && std::string_view(flags[i].variable) == variable) {
        return SettingValue{given[i], flags[i].name};
      }
    }
    return SettingValue{environment(variable), {}};
  });
  return result;
}

}  // namespace sdl_platform
