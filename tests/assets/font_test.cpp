// The font atlas as the show reads it: a pixel is ink when any of its four bytes is non-zero.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "show/timeline.h"
#include "tests/assets/generated_files.h"
#include "tools/generate_assets/font_glyphs.h"

namespace {

constexpr int cells = 91;
constexpr int atlas_width = 8 * cells;

bool ink(const Bytes& atlas, int code, int column, int row) {
  const std::size_t at =
      (static_cast<std::size_t>(row) * atlas_width + (code - 32) * 8 + column) * 4;
  return atlas[at] || atlas[at + 1] || atlas[at + 2] || atlas[at + 3];
}

int ink_count(const Bytes& atlas, int code) {
  int n = 0;
  for (int row = 0; row < 16; ++row) {
    for (int column = 0; column < 8; ++column) n += ink(atlas, code, column, row) ? 1 : 0;
  }
  return n;
}

const Bytes& atlas() {
  const Bytes& bytes = generated("zadadodovoze.raw");
  EXPECT_EQ(bytes.size(), static_cast<std::size_t>(atlas_width) * 16 * 4);
  return bytes;
}

TEST(FontAtlas, DrawsEveryCharacterOfTheMessageLines) {
  const Bytes& a = atlas();
  ASSERT_EQ(a.size(), static_cast<std::size_t>(atlas_width) * 16 * 4);
  std::set<char> used;
  for (const char* line : message_lines) used.insert(line, line + std::strlen(line));
  for (const char c : used) {
    SCOPED_TRACE(std::string("character '") + c + "'");
    ASSERT_GE(c, 32);
    ASSERT_LE(c, 122);
    if (c == ' ') continue;
    EXPECT_GT(ink_count(a, c), 0);
  }
}

TEST(FontAtlas, SpaceIsEmptyAndEveryOtherGlyphHasInk) {
  const Bytes& a = atlas();
  ASSERT_EQ(a.size(), static_cast<std::size_t>(atlas_width) * 16 * 4);
  EXPECT_EQ(ink_count(a, ' '), 0);
  for (int code = 33; code <= 122; ++code) EXPECT_GT(ink_count(a, code), 0) << "code " << code;
}

// Spacing rule: the last column of every cell is empty, so two glyphs side by side never touch.
TEST(FontAtlas, LeavesTheLastColumnOfEveryCellEmpty) {
  const Bytes& a = atlas();
  ASSERT_EQ(a.size(), static_cast<std::size_t>(atlas_width) * 16 * 4);
  for (int code = 32; code <= 122; ++code) {
    for (int row = 0; row < 16; ++row) {
      EXPECT_FALSE(ink(a, code, 7, row)) << "code " << code << " row " << row;
    }
  }
}

TEST(FontAtlas, GivesEveryCharacterItsOwnShape) {
  const Bytes& a = atlas();
  ASSERT_EQ(a.size(), static_cast<std::size_t>(atlas_width) * 16 * 4);
  std::set<std::string> shapes;
  for (int code = 32; code <= 122; ++code) {
    std::string shape;
    for (int row = 0; row < 16; ++row) {
      for (int column = 0; column < 8; ++column) shape += ink(a, code, column, row) ? '#' : '.';
    }
    EXPECT_TRUE(shapes.insert(shape).second) << "code " << code << " repeats another glyph";
  }
}

TEST(GlyphTable, HoldsSixteenRowsOfEightMarksPerGlyph) {
  for (int g = 0; g < font_glyph_count; ++g) {
    for (int row = 0; row < font_glyph_rows; ++row) {
      const std::string text = font_glyphs[g][row];
      SCOPED_TRACE("code " + std::to_string(g + 32) + " row " + std::to_string(row));
      ASSERT_EQ(text.size(), 8u);
      EXPECT_EQ(text.find_first_not_of("#."), std::string::npos);
    }
  }
}

}  // namespace
