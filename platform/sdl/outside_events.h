// What the outside world does to the show that SDL does not report as events: a hang-up signal (its
// terminal closed), and the X display lost under the show (its window destroyed by another program,
// or the X server gone). Watched so that the show ends in order, or with a status of its own,
// instead of being killed or ended by Xlib's default handlers with a status that means something
// else.
#pragma once

namespace sdl_platform {

// The exit status when the display is lost while the show runs.
constexpr int lost_display_status = 5;

// Installs the handlers: SIGHUP always, the X ones when SDL's video driver is x11.
void watch_outside_events();

// SIGHUP arrived: the show should end as on a close request.
bool hang_up_requested();

// Why the display is lost (an X error about the window or the server), or null while it is there.
const char* display_lost();

}  // namespace sdl_platform
