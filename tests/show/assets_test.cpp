#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "render/font_atlas.h"
#include "render/framebuffer.h"
#include "render/primitives.h"
#include "show/assets.h"
#include "tests/show/test_assets.h"

namespace {

using test_assets::WorkingDirectory;

std::uint32_t* const pictures[4] = {logo_image, presents_image, title_image, balls_image};

// The in-memory pixel of file bytes R, G, B, x.
std::uint32_t from_file(const std::uint8_t* p) {
  return (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) |
         p[2];
}

class Assets : public ::testing::Test {
 protected:
  void SetUp() override { test_assets::clear_asset_buffers(); }
  WorkingDirectory directory;
};

TEST(SwapRedBlue, ExchangesOnlyTheLowAndThirdBytes) {
  EXPECT_EQ(swap_red_blue(0x44332211u), 0x44112233u);
  EXPECT_EQ(swap_red_blue(0x00FF0000u), 0x000000FFu);
  EXPECT_EQ(swap_red_blue(0xFF00FF00u), 0xFF00FF00u);
  for (std::uint32_t v : {0u, 0xFFFFFFFFu, 0x12345678u, 0xDEADBEEFu}) {
    EXPECT_EQ(swap_red_blue(swap_red_blue(v)), v);
    const std::uint32_t s = swap_red_blue(v);
    EXPECT_EQ(s & 0xFF, (v >> 16) & 0xFF);
    EXPECT_EQ((s >> 16) & 0xFF, v & 0xFF);
    EXPECT_EQ(s & 0xFF00FF00u, v & 0xFF00FF00u);
  }
}

TEST_F(Assets, ExactPictureOfOneColourGivesThatPixelEverywhere) {
  std::vector<std::uint8_t> bytes(test_assets::picture_bytes);
  for (std::size_t i = 0; i < bytes.size(); i += 4) {
    bytes[i] = 0x11;
    bytes[i + 1] = 0x22;
    bytes[i + 2] = 0x33;
    bytes[i + 3] = 0x44;
  }
  test_assets::write_file("drumvelk.raw", bytes);
  load_assets();
  EXPECT_TRUE(std::all_of(logo_image, logo_image + screen_pixels,
                          [](std::uint32_t p) { return p == 0x44112233u; }));
}

TEST_F(Assets, EachFileFillsItsOwnBuffer) {
  directory.write_all_assets();
  load_assets();
  for (int k = 0; k < 4; ++k) {
    const std::vector<std::uint8_t> file = test_assets::picture_file(k);
    for (std::size_t i = 0; i < screen_pixels; ++i) {
      ASSERT_EQ(pictures[k][i], from_file(&file[i * 4])) << "picture " << k << " pixel " << i;
    }
  }
  // The atlas is not swapped: it holds the file's bytes exactly.
  const std::vector<std::uint8_t> atlas = test_assets::atlas_file();
  EXPECT_EQ(0, std::memcmp(font_atlas, atlas.data(), atlas.size()));
}

TEST_F(Assets, HalfPictureLeavesTheLowerRowsBlack) {
  std::vector<std::uint8_t> bytes = test_assets::picture_file(2);
  bytes.resize(512000);
  test_assets::write_file("quillmar.raw", bytes);
  load_assets();
  for (std::size_t i = 0; i < screen_pixels; ++i) {
    const std::uint32_t expected = i < 640 * 200 ? from_file(&bytes[i * 4]) : 0u;
    ASSERT_EQ(title_image[i], expected) << i;
  }
}

TEST_F(Assets, PictureEndingInsideAPixelKeepsItsLastBytes) {
  std::vector<std::uint8_t> bytes = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
  test_assets::write_file("balls.raw", bytes);
  load_assets();
  EXPECT_EQ(balls_image[0], 0x44112233u);
  EXPECT_EQ(balls_image[1], 0x00556600u);
  EXPECT_EQ(balls_image[2], 0u);
}

TEST_F(Assets, EmptyAndMissingPicturesStayBlack) {
  directory.write_all_assets();
  std::filesystem::remove("drumvelk.raw");
  test_assets::write_file("presents.raw", {});
  load_assets();
  EXPECT_TRUE(
      std::all_of(logo_image, logo_image + screen_pixels, [](std::uint32_t p) { return p == 0; }));
  EXPECT_TRUE(std::all_of(presents_image, presents_image + screen_pixels,
                          [](std::uint32_t p) { return p == 0; }));
  // The files after a missing one are still read.
  const std::vector<std::uint8_t> balls = test_assets::picture_file(3);
  EXPECT_EQ(balls_image[12345], from_file(&balls[12345 * 4]));
  EXPECT_NE(font_atlas[0] | font_atlas[1] | font_atlas[2] | font_atlas[3], 0u);
}

TEST_F(Assets, NothingPresentAtAllLeavesEverythingBlank) {
  load_assets();
  for (std::uint32_t* picture : pictures) {
    EXPECT_TRUE(
        std::all_of(picture, picture + screen_pixels, [](std::uint32_t p) { return p == 0; }));
  }
  EXPECT_TRUE(
      std::all_of(font_atlas, font_atlas + atlas_pixels, [](std::uint32_t p) { return p == 0; }));
}

TEST_F(Assets, OverlongFilesAreReadOnlyUpToTheirSize) {
  std::vector<std::uint8_t> picture = test_assets::picture_file(0);
  picture.resize(picture.size() + 4096, 0xEE);
  test_assets::write_file("drumvelk.raw", picture);
  std::vector<std::uint8_t> atlas = test_assets::atlas_file();
  atlas.resize(atlas.size() + 100, 0xEE);
  test_assets::write_file("zadadodovoze.raw", atlas);
  load_assets();
  EXPECT_EQ(logo_image[screen_pixels - 1], from_file(&picture[(screen_pixels - 1) * 4]));
  EXPECT_EQ(0, std::memcmp(font_atlas, atlas.data(), test_assets::atlas_bytes));
  // The buffers after the atlas and the logo were not overrun.
  EXPECT_TRUE(std::all_of(presents_image, presents_image + screen_pixels,
                          [](std::uint32_t p) { return p == 0; }));
}

TEST_F(Assets, ShortAtlasLeavesTheRestBackground) {
  std::vector<std::uint8_t> atlas = test_assets::atlas_file();
  atlas.resize(1000);
  test_assets::write_file("zadadodovoze.raw", atlas);
  load_assets();
  EXPECT_EQ(0, std::memcmp(font_atlas, atlas.data(), atlas.size()));
  EXPECT_TRUE(std::all_of(font_atlas + 250, font_atlas + atlas_pixels,
                          [](std::uint32_t p) { return p == 0; }));
}

TEST_F(Assets, AtlasPixelWithOnlyItsFourthByteSetIsInk) {
  std::vector<std::uint8_t> atlas(test_assets::atlas_bytes, 0);
  atlas[33 * 8 * 4 + 3] = 0x80;  // glyph 33, row 0, column 0: only byte 3
  test_assets::write_file("zadadodovoze.raw", atlas);
  load_assets();
  fill_framebuffer(0x123456);
  draw_glyph(0, 0, 33);
  EXPECT_EQ(framebuffer[0], 0xFFFFFFu);
  EXPECT_EQ(framebuffer[1], 0u);
}

TEST_F(Assets, FourthPictureByteReachesTheFramebufferThroughCopyImage) {
  directory.write_all_assets();
  load_assets();
  copy_image(balls_image);
  const std::vector<std::uint8_t> balls = test_assets::picture_file(3);
  for (std::size_t i :
       {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{3}, screen_pixels - 1}) {
    EXPECT_EQ(framebuffer[i] >> 24, balls[i * 4 + 3]) << i;
  }
}

}  // namespace
