// The Linux show's command line: --help, --version, and a flag for each setting of the platform
// layer (platform/sdl/settings.h). A flag wins over its environment variable; a variable whose flag
// is not given still counts.
#pragma once

#include <span>

#include "platform/sdl/settings.h"

namespace sdl_platform {

enum class Request {
  run,      // settings holds what to run with, or error says what is wrong
  help,     // print usage and end
  version,  // print the version and end
};

struct CommandLine {
  Request request = Request::run;
  SettingsResult settings;
};

// The arguments after the program name; errors name the flag or the variable at fault.
CommandLine read_command_line(std::span<const char* const> arguments,
                              const EnvironmentLookup& environment);

extern const char* const usage;

}  // namespace sdl_platform
