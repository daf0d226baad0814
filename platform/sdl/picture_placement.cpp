#include "platform/sdl/picture_placement.h"

#include <algorithm>

namespace sdl_platform {

Placement place_picture(int picture_width, int picture_height, int area_width, int area_height) {
  if (picture_width <= 0 || picture_height <= 0 || area_width <= 0 || area_height <= 0) {
    return Placement{0, 0, 0, 0, 0};
  }
  const int scale = std::max(1, std::min(area_width / picture_width, area_height / picture_height));
  const int width = picture_width * scale;
  const int height = picture_height * scale;
  // An odd surplus leaves the extra pixel on the right and at the bottom.
  const int x = (area_width - width) / 2;
  const int y = (area_height - height) / 2;
  return Placement{x, y, width, height, scale};
}

}  // namespace sdl_platform
