#include "platform/sdl/video_driver.h"

#include <SDL.h>

#include <cstdlib>
#include <string_view>

namespace sdl_platform {
namespace {

bool draws_nowhere(std::string_view driver) {
  return driver == "offscreen" || driver == "dummy" || driver == "evdev";
}

// "name: reason" after what was said before. Out of line: GCC 12 warns wrongly about these appends
// when they are inlined.
[[gnu::noinline]] void add_reason(std::string& error, std::string_view driver) {
  if (!error.empty()) error += "; ";
  error += driver;
  error += ": ";
  error += SDL_GetError();
}

// Wayland's client library looks for its socket in XDG_RUNTIME_DIR unless WAYLAND_DISPLAY is a
// full path, and when it can look nowhere it prints its own complaint on stderr, which SDL cannot
// silence. Such a driver could not start anyway, so it is not tried.
bool wayland_has_nowhere_to_look() {
  const char* display = std::getenv("WAYLAND_DISPLAY");
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return (display == nullptr || display[0] != '/') && (runtime == nullptr || runtime[0] != '/');
}

}  // namespace

bool start_video(const char* requested, std::string& error) {
  error.clear();
  if (requested != nullptr && *requested != '\0') {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
    add_reason(error, requested);
    return false;
  }
  for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
    const char* driver = SDL_GetVideoDriver(i);
    if (driver == nullptr || draws_nowhere(driver)) continue;
    if (std::string_view(driver) == "wayland" && wayland_has_nowhere_to_look()) {
      if (!error.empty()) error += "; ";
      error += "wayland: no XDG_RUNTIME_DIR to find a Wayland display in";
      continue;
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
    add_reason(error, driver);
  }
  if (error.empty()) error = "SDL has no video driver that shows a window";
  return false;
}

}  // namespace sdl_platform
