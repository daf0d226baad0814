// The six files the show reads, the same bytes on every run: pictures of 640x400 and a font atlas
// of 91 glyphs of 8x16 side by side for the codes 32-122, 4 bytes a pixel, and the theme song
// (module_test).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>

#include "tests/assets/generated_files.h"

namespace {

TEST(GeneratedFiles, AreTheSixFilesAndTheSameOnEveryRun) {
  const std::set<std::string> names = {"drumvelk.raw", "presents.raw",     "quillmar.raw",
                                       "balls.raw",    "zadadodovoze.raw", "theme2.xm"};
  const std::string again = run_generator();
  ASSERT_FALSE(again.empty());
  std::set<std::string> written;
  for (const auto& entry : std::filesystem::directory_iterator(again)) {
    written.insert(entry.path().filename().string());
  }
  EXPECT_EQ(written, names);
  for (const std::string& name : names) {
    EXPECT_TRUE(read_file(again + "/" + name) == generated(name)) << name << " differs";
  }
  std::filesystem::remove_all(again);
}

// A pixel is ink when any of its four bytes is non-zero.
TEST(FontAtlas, InksEveryCharacterButSpaceInItsOwnShapeClearOfItsNeighbour) {
  const Bytes atlas = generated("zadadodovoze.raw");
  ASSERT_EQ(atlas.size(), 91u * 8u * 16u * 4u);
  std::set<std::string> shapes;
  for (int code = 32; code <= 122; ++code) {
    SCOPED_TRACE("code " + std::to_string(code));
    std::string shape;  // '#' for ink, row by row
    for (int i = 0; i < 8 * 16; ++i) {
      const std::size_t at =
          (static_cast<std::size_t>(i / 8) * 91 * 8 + (code - 32) * 8 + i % 8) * 4;
      shape += atlas[at] || atlas[at + 1] || atlas[at + 2] || atlas[at + 3] ? '#' : '.';
      EXPECT_TRUE(i % 8 != 7 || shape.back() == '.') << "ink touches the next glyph";
    }
    EXPECT_EQ(shape.find('#') == std::string::npos, code == ' ') << "space alone is blank";
    EXPECT_TRUE(shapes.insert(shape).second) << "looks like another character";
  }
}

// Plain means nothing with an edge: no two neighbouring pixels (across or down) differ by more
// than 6 levels in a channel. Letters, outlines and stars have sharp edges; a smooth sky or floor
// changes by a level or two a row. The band is the one a caption covers: 16 rows, x 180-499.
bool band_is_plain(const Bytes& picture, int top) {
  const auto at = [&](int x, int y, int c) { return int{picture[(y * 640 + x) * 4 + c]}; };
  for (int y = top; y < top + 16; ++y) {
    for (int x = 180; x < 500; ++x) {
      for (int c = 0; c < 3; ++c) {
        const int right = at(std::min(x + 1, 499), y, c),
                  down = at(x, std::min(y + 1, top + 15), c);
        if (std::abs(at(x, y, c) - right) > 6 || std::abs(at(x, y, c) - down) > 6) return false;
      }
    }
  }
  return true;
}

// Each picture has depth, and where the show draws a caption over one it leaves a band calm enough
// to read the text on.
TEST(Pictures, HaveDepthAndLeaveTheirCaptionBandPlain) {
  // Name, the caption row the show draws on it (-1 for none), rows through its own big letters.
  const std::tuple<const char*, int, int> pictures[] = {{"drumvelk.raw", 300, 150},
                                                        {"presents.raw", 300, 185},
                                                        {"quillmar.raw", 180, 80},
                                                        {"balls.raw", -1, -1}};
  for (const auto& [name, caption_top, lettering_top] : pictures) {
    SCOPED_TRACE(name);
    const Bytes bytes = generated(name);
    ASSERT_EQ(bytes.size(), 640u * 400u * 4u);
    std::set<int> colours;
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
      colours.insert(bytes[i] << 16 | bytes[i + 1] << 8 | bytes[i + 2]);
    }
    EXPECT_GE(colours.size(), 2000u) << "nearly one flat tone";
    if (caption_top < 0) continue;
    EXPECT_TRUE(band_is_plain(bytes, caption_top));
    // The same rule sees the lettering, so a plain band is a real finding.
    EXPECT_FALSE(band_is_plain(bytes, lettering_top));
  }
}

}  // namespace
