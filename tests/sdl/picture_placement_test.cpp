// Where the picture goes in a window of any size: scaled by the largest whole number that fits,
// centred, an odd surplus leaving the extra pixel right and below, cut around its centre in a
// smaller area, and nowhere when there is nothing to place or nowhere to place it.
#include "platform/sdl/picture_placement.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

struct Case {
  int picture_width, picture_height, area_width, area_height;
  sdl_platform::Placement expected;  // x, y, width, height, scale
};

// clang-format off
const Case cases[] = {
    {640, 400, 1920, 1200, {0, 0, 1920, 1200, 3}},    {640, 400, 1280, 1024, {0, 112, 1280, 800, 2}},
    {640, 400, 1920, 1080, {320, 140, 1280, 800, 2}}, {640, 400, 1919, 1200, {319, 200, 1280, 800, 2}},
    {640, 400, 1280, 799, {320, 199, 640, 400, 1}},   {640, 400, 600, 300, {-20, -50, 640, 400, 1}},
    {0, 400, 640, 400, {0, 0, 0, 0, 0}},              {640, 400, 0, 400, {0, 0, 0, 0, 0}},
    {640, 400, 640, -1, {0, 0, 0, 0, 0}}};
// clang-format on

auto fields(sdl_platform::Placement p) { return std::tuple(p.x, p.y, p.width, p.height, p.scale); }

TEST(PicturePlacement, LargestWholeScaleThatFitsCentred) {
  for (const Case& c : cases) {
    EXPECT_EQ(fields(sdl_platform::place_picture(c.picture_width, c.picture_height, c.area_width,
                                                 c.area_height)),
              fields(c.expected))
        << "case " << &c - cases;
  }
}

}  // namespace
