// Starting SDL's video on a driver that shows the show to someone.
#pragma once

#include <string>

namespace sdl_platform {

// Starts SDL's video subsystem. Drivers the user names (`requested`, from SDL_VIDEODRIVER) are
// taken as they are, offscreen and dummy included; otherwise SDL's drivers that show a window are
// tried in SDL's order, never one that draws nowhere, so that a machine with no display says so
// instead of playing the show unseen. False with `error` naming each driver tried and why it
// failed.
bool start_video(const char* requested, std::string& error);

}  // namespace sdl_platform
