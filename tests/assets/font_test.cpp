// The font atlas as the show reads it: glyphs of 8x16 for the codes 32-122 side by side, a pixel
// being ink when any of its four bytes is non-zero.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/assets/generated_files.h"

namespace {

TEST(FontAtlas, InksEveryCharacterButSpaceInItsOwnShapeClearOfItsNeighbour) {
  const Bytes& atlas = generated("zadadodovoze.raw");
  ASSERT_EQ(atlas.size(), 91u * 8u * 16u * 4u);
  std::set<std::string> shapes;
  for (int code = 32; code <= 122; ++code) {
    SCOPED_TRACE("code " + std::to_string(code));
    std::string shape;  // '#' for ink, row by row
    for (int row = 0; row < 16; ++row) {
      for (int column = 0; column < 8; ++column) {
        const std::size_t at =
            (static_cast<std::size_t>(row) * 91 * 8 + (code - 32) * 8 + column) * 4;
        shape += atlas[at] || atlas[at + 1] || atlas[at + 2] || atlas[at + 3] ? '#' : '.';
      }
      EXPECT_EQ(shape.back(), '.') << "ink in the last column touches the next glyph";
    }
    EXPECT_EQ(shape.find('#') == std::string::npos, code == ' ') << "space alone is blank";
    EXPECT_TRUE(shapes.insert(shape).second) << "looks like another character";
  }
}

}  // namespace
