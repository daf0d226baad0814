#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "display/pixel_converters.h"

namespace {

struct Format {
  std::uint32_t bit_count, red, green, blue;
  PixelConverter converter;
};

const std::vector<Format>& supported() {
  static const std::vector<Format> formats = {
      {32, 0xFF0000, 0x00FF00, 0x0000FF, convert_row_xrgb8888},
      {32, 0x0000FF, 0x00FF00, 0xFF0000, convert_row_xbgr8888},
      {24, 0xFF0000, 0x00FF00, 0x0000FF, convert_row_rgb888},
      {24, 0x0000FF, 0x00FF00, 0xFF0000, convert_row_bgr888},
      {16, 0xF800, 0x07E0, 0x001F, convert_row_rgb565},
      {16, 0x001F, 0x07E0, 0xF800, convert_row_bgr565},
      {16, 0x7C00, 0x03E0, 0x001F, convert_row_rgb555},
      {16, 0x001F, 0x03E0, 0x7C00, convert_row_bgr555},
  };
  return formats;
}

PixelConverter select(const Format& f) {
  return select_converter(f.bit_count, f.red, f.green, f.blue);
}

TEST(SelectConverter, EachSupportedFormatGetsItsConverter) {
  for (const Format& f : supported()) {
    EXPECT_EQ(select(f), f.converter) << "bit count " << f.bit_count << ", red mask " << f.red;
  }
}

TEST(SelectConverter, AnyMaskOffByOneBitGetsNone) {
  for (const Format& f : supported()) {
    for (int bit = 0; bit < 32; ++bit) {
      const std::uint32_t flip = std::uint32_t{1} << bit;
      EXPECT_EQ(select({f.bit_count, f.red ^ flip, f.green, f.blue, nullptr}), nullptr);
      EXPECT_EQ(select({f.bit_count, f.red, f.green ^ flip, f.blue, nullptr}), nullptr);
      EXPECT_EQ(select({f.bit_count, f.red, f.green, f.blue ^ flip, nullptr}), nullptr);
    }
  }
}

// The masks of a supported format under a bit count other than its own; 15-bit surfaces report
// their 555 layouts under 16.
TEST(SelectConverter, SupportedMasksUnderAnotherBitCountGetNone) {
  for (const Format& f : supported()) {
    for (std::uint32_t bit_count = 0; bit_count <= 64; ++bit_count) {
      if (bit_count == f.bit_count) continue;
      // The 32- and 24-bit layouts share their masks.
      if (f.bit_count != 16 && (bit_count == 24 || bit_count == 32)) continue;
      EXPECT_EQ(select({bit_count, f.red, f.green, f.blue, nullptr}), nullptr)
          << "bit count " << bit_count << ", red mask " << f.red;
    }
  }
  EXPECT_EQ(select_converter(15, 0x7C00, 0x03E0, 0x001F), nullptr);
  EXPECT_EQ(select_converter(15, 0x001F, 0x03E0, 0x7C00), nullptr);
}

TEST(SelectConverter, UnsupportedFormatsGetNone) {
  EXPECT_EQ(select_converter(8, 0xE0, 0x1C, 0x03), nullptr);
  EXPECT_EQ(select_converter(8, 0, 0, 0), nullptr);
  EXPECT_EQ(select_converter(16, 0x0F00, 0x00F0, 0x000F), nullptr);
  EXPECT_EQ(select_converter(32, 0xFF000000, 0x00FF0000, 0x0000FF00), nullptr);
  EXPECT_EQ(select_converter(32, 0x0000FF00, 0x00FF0000, 0xFF000000), nullptr);
  EXPECT_EQ(select_converter(32, 0x3FF00000, 0x000FFC00, 0x000003FF), nullptr);
  EXPECT_EQ(select_converter(32, 0x00FF00, 0xFF0000, 0x0000FF), nullptr);
  EXPECT_EQ(select_converter(32, 0, 0, 0), nullptr);
  EXPECT_EQ(select_converter(24, 0x00FF00, 0x0000FF, 0xFF0000), nullptr);
  EXPECT_EQ(select_converter(16, 0x07E0, 0xF800, 0x001F), nullptr);
}

}  // namespace
