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
  // only whole ones can hold the picture.
  const long area_width = std::lround(std::floor(page_width * pixel_ratio + 1e-6));
  const long area_height = std::lround(std::floor(page_height * pixel_ratio + 1e-6));
  const long scale =
      std::max(1L, std::min(area_width / picture_width, area_height / picture_height));
  const long width = picture_width * scale;
  const long height = picture_height * scale;
  // An odd surplus leaves the extra pixel on the right and at the bottom.
  const long x = (area_width - width) / 2;
  const long y = (area_height - height) / 2;
  return CanvasPlacement{static_cast<double>(x) / pixel_ratio, static_cast<double>(y) / pixel_ratio,
                         static_cast<double>(width) / pixel_ratio,
                         static_cast<double>(height) / pixel_ratio, static_cast<int>(scale)};
}

}  // namespace web_platform
