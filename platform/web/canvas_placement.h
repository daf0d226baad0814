// Where the show's canvas goes on the page: scaled by the largest whole number that fits, centred,
// black around it. The scale is counted in the monitor's own pixels (CSS pixels times the device
// pixel ratio), so that every screen pixel covers the same square of them at any page zoom. Where
// not even one monitor pixel per screen pixel fits (a phone held upright), the picture is shrunk to
// the largest size in whole monitor pixels that fits, its shape kept, its edges sharp (the page
// draws it without smoothing).
#pragma once

namespace web_platform {

// In CSS pixels, as the page's style takes them.
struct CanvasPlacement {
  double x;
  double y;
  double width;
  double height;
  int scale;  // monitor pixels per screen pixel, each way; 0 when shrunk, or for an empty placement
};

// `page_width` and `page_height` are the page's size in CSS pixels, `pixel_ratio` the monitor
// pixels per CSS pixel. A picture or page with no pixels, or a ratio that is not above 0, gets an
// empty placement (no width).
CanvasPlacement place_canvas(int picture_width, int picture_height, double page_width,
                             double page_height, double pixel_ratio);

}  // namespace web_platform
