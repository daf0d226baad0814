// Converters are chosen by exact format: every bit of every mask and the bit count must match.
#include <gtest/gtest.h>

#include <cstdint>

#include "display/pixel_converters.h"

namespace {

struct Format {
  std::uint32_t bit_count, red, green, blue;
  PixelConverter converter;
};

const Format supported[] = {
    {32, 0xFF0000, 0x00FF00, 0x0000FF, convert_row_xrgb8888},
    {32, 0x0000FF, 0x00FF00, 0xFF0000, convert_row_xbgr8888},
    {24, 0xFF0000, 0x00FF00, 0x0000FF, convert_row_rgb888},
    {24, 0x0000FF, 0x00FF00, 0xFF0000, convert_row_bgr888},
    {16, 0xF800, 0x07E0, 0x001F, convert_row_rgb565},
    {16, 0x001F, 0x07E0, 0xF800, convert_row_bgr565},
    {16, 0x7C00, 0x03E0, 0x001F, convert_row_rgb555},
    {16, 0x001F, 0x03E0, 0x7C00, convert_row_bgr555},
};

TEST(SelectConverter, OnlyAnExactFormatGetsItsConverter) {
  for (const Format& f : supported) {
    EXPECT_EQ(select_converter(f.bit_count, f.red, f.green, f.blue), f.converter) << f.red;
    for (int bit = 0; bit < 32; ++bit) {
      const std::uint32_t flip = std::uint32_t{1} << bit;
      EXPECT_EQ(select_converter(f.bit_count, f.red ^ flip, f.green, f.blue), nullptr);
      EXPECT_EQ(select_converter(f.bit_count, f.red, f.green ^ flip, f.blue), nullptr);
      EXPECT_EQ(select_converter(f.bit_count, f.red, f.green, f.blue ^ flip), nullptr);
    }
    // The 32- and 24-bit layouts share their masks; 15-bit surfaces report 555 under 16.
    for (std::uint32_t bit_count = 0; bit_count <= 64; ++bit_count) {
      if (bit_count == f.bit_count || (f.bit_count != 16 && (bit_count == 24 || bit_count == 32))) {
        continue;
      }
      EXPECT_EQ(select_converter(bit_count, f.red, f.green, f.blue), nullptr) << bit_count;
    }
  }
}

}  // namespace
