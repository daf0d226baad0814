// Glyphs, text lines and raster bars against a model of the whole framebuffer: what each pixel must
// hold after one call, from a test font whose glyphs all differ.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "render/font_atlas.h"
#include "render/framebuffer.h"
#include "render/primitives.h"
#include "render/raster_palette.h"
#include "tests/show/test_assets.h"

namespace {

constexpr std::uint32_t sentinel = 0xA5C3E1F0u;

// Fills the font with the test glyphs and the framebuffer with the sentinel. Ink values vary, some
// with only bits 24-31 set, since any set bit is ink.
void reset() {
  const std::uint32_t ink_values[4] = {0x01000000u, 0x00000001u, 0x00FFFFFFu, 0x80008000u};
  for (std::size_t i = 0; i < atlas_pixels; ++i) {
    const int x = static_cast<int>(i % atlas_width), row = static_cast<int>(i / atlas_width);
    const int column = x % glyph_width;
    font_atlas[i] =
        test_assets::glyph_ink(x / glyph_width, column, row) ? ink_values[(column + row) % 4] : 0u;
  }
  std::fill(framebuffer, framebuffer + screen_pixels, sentinel);
}

// The framebuffer a sequence of cells must give: cell (x, y, glyph) in white on black, clipped,
// the sentinel elsewhere.
struct Cell {
  int x, y, glyph;
};
std::vector<std::uint32_t> model(const std::vector<Cell>& cells) {
  std::vector<std::uint32_t> out(screen_pixels, sentinel);
  for (const Cell& c : cells) {
    for (int i = 0; i < glyph_width * glyph_height; ++i) {
      const int column = i % glyph_width, row = i / glyph_width;
      const long long x = 1LL * c.x + column, y = 1LL * c.y + row;
      if (x < 0 || y < 0 || x >= screen_width || y >= screen_height) continue;
      out[static_cast<std::size_t>(y * screen_width + x)] =
          test_assets::glyph_ink(c.glyph, column, row) ? 0xFFFFFFu : 0u;
    }
  }
  return out;
}

// "" when the framebuffer holds `expected`, else where it first differs.
std::string framebuffer_differs_from(const std::vector<std::uint32_t>& expected) {
  const auto i =
      std::mismatch(expected.begin(), expected.end(), framebuffer).first - expected.begin();
  if (i == std::ssize(expected)) return "";
  return "pixel " + std::to_string(i % screen_width) + "," + std::to_string(i / screen_width);
}

TEST(Primitives, GlyphsAreDrawnClippedAndOnlyFromTheFont) {
  // x, y, glyph, and the cell drawn or -1 for nothing.
  const int cases[][4] = {
      {100, 50, 0, 0},      {100, 50, 90, 90},    {0, 0, 256 + 7, 7},   {0, 0, -256 + 3, 3},
      {10, 10, 91, -1},     {10, 10, 255, -1},    {10, 10, -1, -1},     {636, 0, 33, 33},
      {-4, 0, 33, 33},      {0, 392, 33, 33},     {-7, -15, 33, 33},    {639, 399, 33, 33},
      {640, 0, 33, -1},     {-8, 0, 33, -1},      {0, 400, 33, -1},     {0, -16, 33, -1},
      {INT_MAX, 0, 33, -1}, {INT_MIN, 0, 33, -1}, {0, INT_MAX, 33, -1}, {0, INT_MIN, 33, -1},
  };
  for (const auto& [x, y, glyph, cell] : cases) {
    reset();
    draw_glyph(x, y, glyph);
    std::vector<Cell> drawn;
    if (cell >= 0) drawn.push_back({x, y, cell});
    EXPECT_EQ(framebuffer_differs_from(model(drawn)), "") << x << "," << y << " glyph " << glyph;
  }
}

// Forty characters from x = 180, each code from space on naming a cell; codes outside the font
// leave their cells alone, and the line ends at its terminator.
TEST(Primitives, TextLinesDrawFortyCharactersOfTheFont) {
  const std::string lines[] = {
      " 0Zz",
      "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!?.,B",
      std::string("AA\x1F{A\x80z", 7),
  };
  for (const std::string& line : lines) {
    reset();
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
    EXPECT_EQ(framebuffer_differs_from(model(cells)), "") << '"' << line << '"';
  }
}

TEST(Primitives, RasterBarsRepeatThePaletteOver384RowsAndLeaveTheRestBlack) {
  reset();
  draw_raster_bars();
  std::vector<std::uint32_t> expected(screen_pixels, 0u);
  for (std::size_t i = 0; i < 384 * screen_width; ++i) {
    expected[i] = raster_palette[(i / screen_width) % raster_palette_size];
  }
  EXPECT_EQ(framebuffer_differs_from(expected), "");
}

}  // namespace
