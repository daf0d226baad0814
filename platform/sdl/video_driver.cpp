#include "platform/sdl/video_driver.h"

#include <SDL.h>

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
    SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
    add_reason(error, driver);
  }
  if (error.empty()) error = "SDL has no video driver that shows a window";
  return false;
}

}  // namespace sdl_platform
