#include "platform/sdl/window_bounds.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <algorithm>

namespace sdl_platform {

bool keep_within(SDL_Window* window, int max_width, int max_height) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11) {
    ::Window root = 0;
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned depth = 0;
    if (XGetGeometry(info.info.x11.display, info.info.x11.window, &root, &x, &y, &width, &height,
                     &border, &depth) == 0) {
      return false;
    }
    if (width <= static_cast<unsigned>(max_width) && height <= static_cast<unsigned>(max_height)) {
      return true;
    }
    XResizeWindow(info.info.x11.display, info.info.x11.window,
                  std::min(width, static_cast<unsigned>(max_width)),
                  std::min(height, static_cast<unsigned>(max_height)));
    XSync(info.info.x11.display, False);
    return false;
  }
  int width = 0;
  int height = 0;
  SDL_GetWindowSizeInPixels(window, &width, &height);
  if (width <= max_width && height <= max_height) return true;
  SDL_SetWindowSize(window, std::min(width, max_width), std::min(height, max_height));
  return false;
}

}  // namespace sdl_platform
