// Where the canvas goes on pages of any size and pixel ratio: the largest whole scale in monitor
// pixels that fits, centred, an odd surplus leaving the extra monitor pixel right and below; where
// none fits, the largest size in whole monitor pixels of the picture's shape (scale 0); and nowhere
// when there is nothing to place.
#include "platform/web/canvas_placement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct Case {
  double page_width, page_height, ratio;
  // Expected in monitor pixels: x, y, width, height, scale.
  long x, y, width, height;
  int scale;
};

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// clang-format off
const Case cases[] = {
    {1919, 1200, 1, 319, 200, 1280, 800, 2},     {1280, 799, 1, 320, 199, 640, 400, 1},
    {1280, 800, 2, 0, 0, 2560, 1600, 4},
    {390, 844, 3, 265, 1066, 640, 400, 1},       // a phone held upright: 1170x2532 monitor pixels
    {390, 844, 1, 0, 300, 390, 243, 0},          // none fits: the width binds, 243.75 rounded down
    {844, 390, 1, 110, 0, 624, 390, 0},          // on its side: the height binds
    {600, 300, 1, 60, 0, 480, 300, 0},
    {1280, 720, 1.5, 320, 140, 1280, 800, 2},    // 1920x1080 monitor pixels
    {1024, 768, 1.25, 0, 80, 1280, 800, 2},      // 1280x960 monitor pixels
    {1279.6, 799.6, 1, 319, 199, 640, 400, 1},   // fractions of a pixel are no room
    {1280 / 0.67, 800 / 0.67, 0.67, 0, 0, 1280, 800, 2},  // whole, however the ratio rounds
    {0, 800, 1, 0, 0, 0, 0, 0},                  {1280, -1, 1, 0, 0, 0, 0, 0},
    {1280, 800, 0, 0, 0, 0, 0, 0},               {nan, 800, 1, 0, 0, 0, 0, 0},
    {1280, 800, nan, 0, 0, 0, 0, 0},
};
// clang-format on

TEST(CanvasPlacement, LargestWholeScaleInMonitorPixelsCentred) {
  for (const Case& c : cases) {
    const web_platform::CanvasPlacement p =
        web_platform::place_canvas(640, 400, c.page_width, c.page_height, c.ratio);
    const double ratio = c.width == 0 ? 1 : c.ratio;
    EXPECT_EQ(p.scale, c.scale) << "case " << &c - cases;
    EXPECT_DOUBLE_EQ(p.x * ratio, static_cast<double>(c.x)) << "case " << &c - cases;
    EXPECT_DOUBLE_EQ(p.y * ratio, static_cast<double>(c.y)) << "case " << &c - cases;
    EXPECT_DOUBLE_EQ(p.width * ratio, static_cast<double>(c.width)) << "case " << &c - cases;
    EXPECT_DOUBLE_EQ(p.height * ratio, static_cast<double>(c.height)) << "case " << &c - cases;
  }
}

TEST(CanvasPlacement, NoPictureNoPlace) {
  for (const auto& [width, height] : {std::pair{0, 400}, std::pair{640, 0}, std::pair{-640, 400}}) {
    EXPECT_EQ(web_platform::place_canvas(width, height, 1280, 800, 1).width, 0);
  }
}

}  // namespace
