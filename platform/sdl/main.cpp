// The show on Linux: the emulated platform shown through SDL2, its music played through SDL2's
// default sound device (silently when there is none).
//
// Exit status: 0 when the show ends (at its end, on Escape, a close request, an interrupt, a
// termination or hang-up signal), 1 when its display cannot be opened, 2 for an invalid setting
// (see platform/sdl/settings.h) or flag (platform/sdl/command_line.h), 3 when there is no display
// to show it on, 5 when the display is lost while the show runs (lost_display_status,
// platform/sdl/outside_events.h).
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "platform/audio/audio_output.h"
#include "platform/emulated/emulated_platform.h"
#include "platform/sdl/command_line.h"
#include "platform/sdl/data_directory.h"
#include "platform/sdl/outside_events.h"
#include "platform/sdl/sdl_audio_output.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/settings.h"
#include "platform/sdl/video_driver.h"
#include "show/show_main.h"

namespace {

constexpr int invalid_setting = 2;
constexpr int no_display = 3;

int run_show(const sdl_platform::Settings& settings) {
  sdl_platform::SdlBackend backend(settings);
  if (!backend.ok()) {
    std::fprintf(stderr, "show: no display: %s\n", backend.error().c_str());
    return no_display;
  }
  emulated::install(backend, settings.screen);
  // Static: the show ends in exit() from inside, and the music closes it before that.
  static sdl_platform::SdlAudioOutput sound;
  audio::install_output(sound);
  // Returns only when the display could not be opened; every other end exits inside.
  return show_main();
}

}  // namespace

int main(int argc, char** argv) {
  const sdl_platform::CommandLine command_line = sdl_platform::read_command_line(
      std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc > 0 ? argc - 1 : 0)),
      [](const char* name) { return std::getenv(name); });
  // Answered before SDL starts: no display is needed, and nothing of SDL's is printed.
  if (command_line.request == sdl_platform::Request::help) {
    std::fputs(sdl_platform::usage, stdout);
    return 0;
  }
  if (command_line.request == sdl_platform::Request::version) {
    std::puts("show " SHOW_VERSION);
    return 0;
  }
  const sdl_platform::SettingsResult& read = command_line.settings;
  if (!read.settings) {
    std::fprintf(stderr, "show: %s\n", read.error.c_str());
    return invalid_setting;
  }

  sdl_platform::enter_data_directory(SHOW_DATA_SUBDIRECTORY);

  // Leave the screen saver as the user has it: the show switches it off itself while it plays.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  std::string error;
  if (!sdl_platform::start_video(std::getenv("SDL_VIDEODRIVER"), error)) {
    std::fprintf(stderr, "show: no display: %s\n", error.c_str());
    SDL_Quit();
    return no_display;
  }
  sdl_platform::watch_outside_events();
  const int status = run_show(*read.settings);
  SDL_Quit();
  return status;
}
