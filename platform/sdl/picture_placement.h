// Where the emulated screen's picture goes in a window: scaled by the largest whole multiple that
// fits, centred, with black around it.
#pragma once

namespace sdl_platform {

struct Placement {
  int x;
  int y;
  int width;
  int height;
  int scale;
};

// The picture is never shrunk: in an area smaller than it, it stays at scale 1, centred and cut at
// the edges. A picture or area with no pixels gets an empty placement.
Placement place_picture(int picture_width, int picture_height, int area_width, int area_height);

}  // namespace sdl_platform
