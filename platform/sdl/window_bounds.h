// Keeping the show's window within the size its renderer can draw. Another program may resize the
// window to anything (X allows 65535 x 65535), and a driver handed such a window to draw can crash.
#pragma once

#include <SDL.h>

namespace sdl_platform {

// True when the window, as the display server has it now, is at most max_width x max_height pixels;
// otherwise it is sized back within them and false tells the caller to skip this frame. On X the
// server is asked, since a resize from outside reaches SDL only with its next events, after the
// driver may already have drawn into the new size.
bool keep_within(SDL_Window* window, int max_width, int max_height);

}  // namespace sdl_platform
