#include "platform/web/canvas_placement.h"

#include <algorithm>
#include <cmath>

namespace web_platform {

CanvasPlacement place_canvas(int picture_width, int picture_height, double page_width,
                             double page_height, double pixel_ratio) {
  // Written so that a NaN fails too.
  if (picture_width <= 0 || picture_height <= 0 || !(page_width > 0) || !(page_height > 0) ||
      !(pixel_ratio > 0)) {
    return CanvasPlacement{0, 0, 0, 0, 0};
  }
  // The browser gives fractions of monitor pixels (a page 1280.4 pixels wide at some zoom levels);
  // only whole ones can hold the picture. No monitor is a billion pixels wide.
  constexpr double largest_area = 1e9;
  const long long area_width =
      std::llround(std::floor(std::min(page_width * pixel_ratio, largest_area) + 1e-6));
  const long long area_height =
      std::llround(std::floor(std::min(page_height * pixel_ratio, largest_area) + 1e-6));
  if (area_width <= 0 || area_height <= 0) return CanvasPlacement{0, 0, 0, 0, 0};
  const long long scale = std::min(area_width / picture_width, area_height / picture_height);
  long long width = picture_width * scale;
  long long height = picture_height * scale;
  if (scale == 0) {
    // The side that binds takes the whole area, the other its share, rounded down.
    if (area_width * picture_height <= area_height * picture_width) {
      width = area_width;
      height = area_width * picture_height / picture_width;
    } else {
      height = area_height;
      width = area_height * picture_width / picture_height;
    }
  }
  // An odd surplus leaves the extra pixel on the right and at the bottom.
  const long long x = (area_width - width) / 2;
  const long long y = (area_height - height) / 2;
  return CanvasPlacement{static_cast<double>(x) / pixel_ratio, static_cast<double>(y) / pixel_ratio,
                         static_cast<double>(width) / pixel_ratio,
                         static_cast<double>(height) / pixel_ratio, static_cast<int>(scale)};
}

}  // namespace web_platform
