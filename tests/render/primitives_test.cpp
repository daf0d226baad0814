#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>

#include "render/font_atlas.h"
#include "render/framebuffer.h"
#include "render/primitives.h"
#include "render/raster_palette.h"

namespace {

constexpr std::uint32_t sentinel = 0xA5C3E1F0u;

// Test font: glyph g has its own ink pattern, and ink pixels carry varied non-zero values, some
// with only bits 24-31 set, so that "any bit set" is what counts.
bool test_ink(int g, int column, int row) {
  const std::uint32_t pattern = 0x9E3779B9u * static_cast<std::uint32_t>(g + 1);
  return ((pattern >> ((column + 8 * row) % 32)) & 1u) != 0;
}

std::uint32_t test_ink_value(int column, int row) {
  switch ((column + row) % 4) {
    case 0:
      return 0x01000000u;
    case 1:
      return 0x00000001u;
    case 2:
      return 0x00FFFFFFu;
    default:
      return 0x80008000u;
  }
}

class Primitives : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int g = 0; g < glyph_count; ++g) {
      for (int row = 0; row < glyph_height; ++row) {
        for (int column = 0; column < glyph_width; ++column) {
          font_atlas[row * atlas_width + g * glyph_width + column] =
              test_ink(g, column, row) ? test_ink_value(column, row) : 0u;
        }
      }
    }
    std::fill(framebuffer, framebuffer + screen_pixels, sentinel);
  }

  static std::uint32_t pixel(int x, int y) { return framebuffer[y * screen_width + x]; }

  // The framebuffer holds glyph g's cell at x, y (clipped to the screen) and the sentinel
  // elsewhere.
  static void expect_only_cell(int x, int y, int g) {
    for (int py = 0; py < screen_height; ++py) {
      for (int px = 0; px < screen_width; ++px) {
        const int column = px - x;
        const int row = py - y;
        std::uint32_t expected = sentinel;
        if (column >= 0 && column < 8 && row >= 0 && row < 16) {
          expected = test_ink(g, column, row) ? 0xFFFFFFu : 0u;
        }
        ASSERT_EQ(pixel(px, py), expected) << "at " << px << "," << py;
      }
    }
  }

  static bool framebuffer_untouched() {
    return std::all_of(framebuffer, framebuffer + screen_pixels,
                       [](std::uint32_t p) { return p == sentinel; });
  }
};

TEST_F(Primitives, FillSetsEveryPixelIncludingTopByte) {
  fill_framebuffer(0xFFFFFF);
  EXPECT_TRUE(std::all_of(framebuffer, framebuffer + screen_pixels,
                          [](std::uint32_t p) { return p == 0x00FFFFFFu; }));
  fill_framebuffer(0);
  EXPECT_TRUE(std::all_of(framebuffer, framebuffer + screen_pixels,
                          [](std::uint32_t p) { return p == 0u; }));
}

TEST_F(Primitives, CopyImageCarriesEveryBitOfEveryPixel) {
  auto picture = std::make_unique<std::uint32_t[]>(screen_pixels);
  for (std::size_t i = 0; i < screen_pixels; ++i) {
    picture[i] = static_cast<std::uint32_t>(i * 2654435761u) | 0x44000000u;
  }
  copy_image(picture.get());
  EXPECT_EQ(0, std::memcmp(framebuffer, picture.get(), screen_pixels * 4));
  EXPECT_EQ(framebuffer[0] >> 24, 0x44u);
}

TEST_F(Primitives, RasterBarsRepeatThePaletteOver384RowsAndLeaveTheRestBlack) {
  draw_raster_bars();
  for (int y = 0; y < screen_height; ++y) {
    const std::uint32_t expected = y < 384 ? raster_palette[y % 32] : 0u;
    for (int x = 0; x < screen_width; ++x) ASSERT_EQ(pixel(x, y), expected) << x << "," << y;
  }
  for (int y = 0; y <= 352; y += 32) EXPECT_EQ(pixel(0, y), 0x835727u);
  for (int y = 31; y <= 383; y += 32) EXPECT_EQ(pixel(639, y), 0x765688u);
  EXPECT_EQ(pixel(0, 384), 0u);
  EXPECT_EQ(pixel(639, 399), 0u);
}

TEST_F(Primitives, RasterPaletteHoldsNoTopByte) {
  for (std::uint32_t colour : raster_palette) EXPECT_EQ(colour >> 24, 0u);
}

TEST_F(Primitives, GlyphCellIsOpaqueWhiteOnBlack) {
  for (int g : {0, 1, 16, 58, 90}) {
    SetUp();
    draw_glyph(100, 50, g);
    expect_only_cell(100, 50, g);
  }
}

TEST_F(Primitives, BlankGlyphOverWhiteLeavesABlackRectangle) {
  for (int i = 0; i < atlas_height; ++i) std::fill_n(font_atlas + i * atlas_width + 8 * 5, 8, 0u);
  fill_framebuffer(0xFFFFFF);
  draw_glyph(632, 384, 5);
  for (int y = 0; y < screen_height; ++y) {
    for (int x = 0; x < screen_width; ++x) {
      const bool in_cell = x >= 632 && y >= 384;
      ASSERT_EQ(pixel(x, y), in_cell ? 0u : 0xFFFFFFu) << x << "," << y;
    }
  }
}

TEST_F(Primitives, OnlyTheLowByteOfTheGlyphIndexCounts) {
  draw_glyph(0, 0, 256 + 7);
  expect_only_cell(0, 0, 7);
  SetUp();
  draw_glyph(0, 0, -256 + 3);
  expect_only_cell(0, 0, 3);
}

TEST_F(Primitives, GlyphsBeyondTheFontDrawNothing) {
  for (int g : {91, 92, 200, 255, -1}) {
    draw_glyph(10, 10, g);
    EXPECT_TRUE(framebuffer_untouched()) << g;
  }
}

TEST_F(Primitives, GlyphsReachingPastAnEdgeAreClipped) {
  const int cases[][2] = {{636, 0}, {-4, 0}, {0, 392}, {0, -8}, {-7, -15}, {639, 399}};
  for (const auto& c : cases) {
    SetUp();
    draw_glyph(c[0], c[1], 33);
    expect_only_cell(c[0], c[1], 33);
  }
}

TEST_F(Primitives, GlyphsWhollyOffScreenDrawNothing) {
  const int cases[][2] = {{640, 0},     {-8, 0},      {0, 400},     {0, -16},
                          {INT_MAX, 0}, {INT_MIN, 0}, {0, INT_MAX}, {0, INT_MIN}};
  for (const auto& c : cases) {
    draw_glyph(c[0], c[1], 33);
    EXPECT_TRUE(framebuffer_untouched()) << c[0] << "," << c[1];
  }
}

TEST_F(Primitives, TextLineMapsCharacterCodesToCells) {
  // Space is cell 0, '0' cell 16, 'Z' cell 58, 'z' cell 90.
  const char line[] = " 0Zz                                    ";
  draw_text_line(line, 300);
  const int expected_cells[] = {0, 16, 58, 90};
  for (int i = 0; i < 4; ++i) {
    for (int row = 0; row < 16; ++row) {
      for (int column = 0; column < 8; ++column) {
        const std::uint32_t want = test_ink(expected_cells[i], column, row) ? 0xFFFFFFu : 0u;
        ASSERT_EQ(pixel(180 + 8 * i + column, 300 + row), want) << "char " << i;
      }
    }
  }
}

TEST_F(Primitives, TextLineCoversOnlyItsBand) {
  const char line[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!?.,";
  draw_text_line(line, 300);
  for (int y = 0; y < screen_height; ++y) {
    for (int x = 0; x < screen_width; ++x) {
      const bool in_band = x >= 180 && x < 500 && y >= 300 && y < 316;
      if (!in_band) {
        ASSERT_EQ(pixel(x, y), sentinel) << x << "," << y;
      } else {
        const std::uint32_t p = pixel(x, y);
        ASSERT_TRUE(p == 0u || p == 0xFFFFFFu) << x << "," << y;
        const int i = (x - 180) / 8;
        const bool ink = test_ink(line[i] - 32, (x - 180) % 8, y - 300);
        ASSERT_EQ(p, ink ? 0xFFFFFFu : 0u);
      }
    }
  }
}

TEST_F(Primitives, TextLineDrawsExactlyFortyCharacters) {
  // A longer string: the 41st character must not be drawn.
  const char line[] = "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAB";
  draw_text_line(line, 0);
  for (int y = 0; y < 16; ++y) ASSERT_EQ(pixel(500, y), sentinel);
}

TEST_F(Primitives, TextLineStopsAtTheEndOfAShortString) {
  // Exactly sized, so reading past the terminator is caught by the address sanitizer.
  auto line = std::make_unique<char[]>(4);
  std::memcpy(line.get(), "ABC", 4);
  draw_text_line(line.get(), 100);
  for (int y = 100; y < 116; ++y) {
    for (int x = 204; x < screen_width; ++x) ASSERT_EQ(pixel(x, y), sentinel) << x << "," << y;
  }
  EXPECT_NE(pixel(180, 100), sentinel);
}

TEST_F(Primitives, CharactersOutsideTheFontLeaveTheirCellsUntouched) {
  char line[41];
  std::memset(line, 'A', 40);
  line[40] = '\0';
  line[3] = '\x1F';  // just below space
  line[7] = '{';     // just above 'z'
  line[9] = '\x80';
  draw_text_line(line, 0);
  for (int cell : {3, 7, 9}) {
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 8; ++x) ASSERT_EQ(pixel(180 + 8 * cell + x, y), sentinel) << cell;
    }
  }
  EXPECT_NE(pixel(180 + 8 * 4, 0), sentinel);
}

}  // namespace
