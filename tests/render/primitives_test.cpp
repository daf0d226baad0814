// Glyphs, text lines and raster bars against a model of the whole framebuffer: what each pixel must
// hold after one call, from a test font whose glyphs all differ.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "render/font_atlas.h"
#include "render/framebuffer.h"
#include "render/primitives.h"
#include "render/raster_palette.h"

namespace {

constexpr std::uint32_t sentinel = 0xA5C3E1F0u;

// Glyph g has its own pattern; ink values vary, some with only bits 24-31 set, since any set bit
// is ink.
bool test_ink(int g, int column, int row) {
  const std::uint32_t pattern = 0x9E3779B9u * static_cast<std::uint32_t>(g + 1);
  return ((pattern >> ((column + 8 * row) % 32)) & 1u) != 0;
}

// The framebuffer a sequence of cells must give: cell (x, y, glyph) in white on black, clipped,
// the sentinel elsewhere.
struct Cell {
  int x, y, glyph;
};
std::vector<std::uint32_t> model(const std::vector<Cell>& cells) {
  std::vector<std::uint32_t> out(screen_pixels, sentinel);
  for (const Cell& c : cells) {
    for (int row = 0; row < glyph_height; ++row) {
      for (int column = 0; column < glyph_width; ++column) {
        const long long x = 1LL * c.x + column;
        const long long y = 1LL * c.y + row;
        if (x < 0 || y < 0 || x >= screen_width || y >= screen_height) continue;
        out[static_cast<std::size_t>(y * screen_width + x)] =
            test_ink(c.glyph, column, row) ? 0xFFFFFFu : 0u;
      }
    }
  }
  return out;
}

class Primitives : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::uint32_t ink_values[4] = {0x01000000u, 0x00000001u, 0x00FFFFFFu, 0x80008000u};
    for (int g = 0; g < glyph_count; ++g) {
      for (int row = 0; row < glyph_height; ++row) {
        for (int column = 0; column < glyph_width; ++column) {
          font_atlas[row * atlas_width + g * glyph_width + column] =
              test_ink(g, column, row) ? ink_values[(column + row) % 4] : 0u;
        }
      }
    }
    std::fill(framebuffer, framebuffer + screen_pixels, sentinel);
  }

  static ::testing::AssertionResult framebuffer_is(const std::vector<std::uint32_t>& expected) {
    for (std::size_t i = 0; i < screen_pixels; ++i) {
      if (framebuffer[i] != expected[i]) {
        return ::testing::AssertionFailure()
               << "pixel " << i % screen_width << "," << i / screen_width << ": " << std::hex
               << framebuffer[i] << " instead of " << expected[i];
      }
    }
    return ::testing::AssertionSuccess();
  }
};

TEST_F(Primitives, GlyphsAreDrawnClippedAndOnlyFromTheFont) {
  struct Case {
    int x, y, glyph;
    int cell;  // drawn, or -1 for nothing
  };
  const Case cases[] = {
      {100, 50, 0, 0},      {100, 50, 90, 90},    {0, 0, 256 + 7, 7},   {0, 0, -256 + 3, 3},
      {10, 10, 91, -1},     {10, 10, 255, -1},    {10, 10, -1, -1},     {636, 0, 33, 33},
      {-4, 0, 33, 33},      {0, 392, 33, 33},     {-7, -15, 33, 33},    {639, 399, 33, 33},
      {640, 0, 33, -1},     {-8, 0, 33, -1},      {0, 400, 33, -1},     {0, -16, 33, -1},
      {INT_MAX, 0, 33, -1}, {INT_MIN, 0, 33, -1}, {0, INT_MAX, 33, -1}, {0, INT_MIN, 33, -1},
  };
  for (const Case& c : cases) {
    SetUp();
    draw_glyph(c.x, c.y, c.glyph);
    EXPECT_TRUE(framebuffer_is(
        model(c.cell < 0 ? std::vector<Cell>{} : std::vector<Cell>{{c.x, c.y, c.cell}})))
        << c.x << "," << c.y << " glyph " << c.glyph;
  }
}

// Forty characters from x = 180, each code from space on naming a cell; codes outside the font
// leave their cells alone, and the line ends at its terminator.
TEST_F(Primitives, TextLinesDrawFortyCharactersOfTheFont) {
  const std::string lines[] = {
      " 0Zz",
      "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!?.,B",
      std::string("AA\x1F{A\x80z", 7),
  };
  for (const std::string& line : lines) {
    SetUp();
    // Exactly sized, so that reading past the terminator is caught by the address sanitizer.
    auto text = std::make_unique<char[]>(line.size() + 1);
    std::memcpy(text.get(), line.c_str(), line.size() + 1);
    draw_text_line(text.get(), 300);
    std::vector<Cell> cells;
    for (std::size_t i = 0; i < std::min<std::size_t>(line.size(), 40); ++i) {
      const int code = static_cast<unsigned char>(line[i]);
      if (code >= 32 && code < 32 + glyph_count) {
        cells.push_back({180 + 8 * static_cast<int>(i), 300, code - 32});
      }
    }
    EXPECT_TRUE(framebuffer_is(model(cells))) << '"' << line << '"';
  }
}

TEST_F(Primitives, RasterBarsRepeatThePaletteOver384RowsAndLeaveTheRestBlack) {
  draw_raster_bars();
  std::vector<std::uint32_t> expected(screen_pixels, 0u);
  for (std::size_t i = 0; i < 384 * screen_width; ++i) {
    expected[i] = raster_palette[(i / screen_width) % raster_palette_size];
  }
  EXPECT_TRUE(framebuffer_is(expected));
}

}  // namespace
