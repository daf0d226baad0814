// Where the picture goes in a window of any size.
#include "platform/sdl/picture_placement.h"

#include <gtest/gtest.h>

namespace {

using sdl_platform::place_picture;
using sdl_platform::Placement;

void expect_placement(const Placement& placement, int x, int y, int width, int height, int scale) {
  EXPECT_EQ(placement.x, x);
  EXPECT_EQ(placement.y, y);
  EXPECT_EQ(placement.width, width);
  EXPECT_EQ(placement.height, height);
  EXPECT_EQ(placement.scale, scale);
}

TEST(PicturePlacement, AnExactMultipleFillsTheArea) {
  expect_placement(place_picture(640, 400, 640, 400), 0, 0, 640, 400, 1);
  expect_placement(place_picture(640, 400, 1920, 1200), 0, 0, 1920, 1200, 3);
}

TEST(PicturePlacement, TheLargestWholeMultipleThatFitsIsCentred) {
  // Height limits: 1024 / 400 is 2.56, width would allow 2 as well.
  expect_placement(place_picture(640, 400, 1280, 1024), 0, 112, 1280, 800, 2);
  // Height limits though the width would take 3.
  expect_placement(place_picture(640, 400, 1920, 1080), 320, 140, 1280, 800, 2);
  // Width limits though the height would take 3.
  expect_placement(place_picture(640, 400, 1919, 1200), 319, 200, 1280, 800, 2);
  // One pixel short of scale 2 in height only.
  expect_placement(place_picture(640, 400, 1280, 799), 320, 199, 640, 400, 1);
}

TEST(PicturePlacement, AnOddSurplusLeavesTheExtraPixelRightAndBelow) {
  expect_placement(place_picture(640, 400, 641, 401), 0, 0, 640, 400, 1);
  expect_placement(place_picture(640, 400, 643, 405), 1, 2, 640, 400, 1);
}

TEST(PicturePlacement, ASmallerAreaCutsThePictureAroundItsCentre) {
  expect_placement(place_picture(640, 400, 600, 300), -20, -50, 640, 400, 1);
  expect_placement(place_picture(640, 400, 1, 1), -319, -199, 640, 400, 1);
}

TEST(PicturePlacement, OtherPictureSizesScaleTheSameWay) {
  expect_placement(place_picture(320, 200, 1000, 1000), 20, 200, 960, 600, 3);
  expect_placement(place_picture(1, 1, 7, 5), 1, 0, 5, 5, 5);
}

TEST(PicturePlacement, NothingToPlaceOrNowhereToPlaceItIsEmpty) {
  expect_placement(place_picture(0, 400, 640, 400), 0, 0, 0, 0, 0);
  expect_placement(place_picture(640, 400, 0, 400), 0, 0, 0, 0, 0);
  expect_placement(place_picture(640, 400, 640, -1), 0, 0, 0, 0, 0);
}

}  // namespace
