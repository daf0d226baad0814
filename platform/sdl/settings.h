// Settings of the platform layer, read from the environment before the show starts. The show
// itself reads none of them.
//
//   SHOW_SCREEN_LAYOUTS  pixel layouts the emulated screen offers, comma-separated, most preferred
//                        first: xrgb8888 xbgr8888 rgb888 bgr888 rgb565 bgr565 rgb555 bgr555
//                        (default xrgb8888)
//   SHOW_WINDOWED        1: a window of 640x400 times SHOW_SCALE instead of the full screen;
//                        0: full screen (default)
//   SHOW_SCALE           whole-number size of that window, 1 to 8 (default 2)
//   SHOW_RETRACE_HZ      rate of the emulated vertical retrace, 1 to 10000 (default 60); a higher
//                        rate plays the show faster, for tests
//   SHOW_ROW_PADDING     bytes each emulated surface row has beyond its pixels, 0 to 256
//                        (default 0)
//   SHOW_TRACE_WINDOW    1: one line on stderr for each change of the window's visibility and focus
//                        (default 0)
//
// An empty variable counts as unset.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/emulated/emulated_platform.h"

namespace sdl_platform {

struct Settings {
  emulated::ScreenSettings screen;
  bool windowed = false;
  int window_scale = 2;
  // Retraces per second; 0 makes a flip return at once (for timing the rest of a frame).
  int retrace_hz = 60;
  bool trace_window = false;
};

struct SettingsResult {
  std::optional<Settings> settings;
  std::string error;  // what is wrong, naming the variable, when settings is empty
};

// Returns the value of an environment variable, or null when it is not set.
using EnvironmentLookup = std::function<const char*(const char* name)>;

SettingsResult read_settings(const EnvironmentLookup& lookup);

// A setting's value (null when unset) and what an error about it names: empty for the variable
// itself, or the command-line flag that gave it.
struct SettingValue {
  const char* value;
  std::string_view source;
};
using SettingLookup = std::function<SettingValue(const char* variable)>;

SettingsResult read_settings_from(const SettingLookup& lookup);

}  // namespace sdl_platform
