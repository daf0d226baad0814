// The four pictures: each has depth, and where the show draws a caption over one it leaves a band
// calm enough to read the text on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "tests/assets/generated_files.h"

namespace {

// Plain means nothing with an edge: no two neighbouring pixels (across or down) differ by more
// than 6 levels in a channel. Letters, outlines and stars have sharp edges; a smooth sky or floor
// changes by a level or two a row. The band is the one a caption covers: 16 rows, x 180-499.
bool band_is_plain(const Bytes& picture, int top) {
  const auto at = [](int x, int y) { return (static_cast<std::size_t>(y) * 640 + x) * 4; };
  for (int y = top; y < top + 16; ++y) {
    for (int x = 180; x < 500; ++x) {
      for (std::size_t c = 0; c < 3; ++c) {
        const int here = picture[at(x, y) + c];
        if (std::abs(here - picture[at(std::min(x + 1, 499), y) + c]) > 6 ||
            std::abs(here - picture[at(x, std::min(y + 1, top + 15)) + c]) > 6) {
          return false;
        }
      }
    }
  }
  return true;
}

struct Picture {
  const char* name;
  int caption_top;    // the caption row the show draws on it, -1 for none
  int lettering_top;  // rows through the picture's own big letters
};

TEST(Pictures, HaveDepthAndLeaveTheirCaptionBandPlain) {
  const Picture pictures[] = {{"drumvelk.raw", 300, 150},
                              {"presents.raw", 300, 185},
                              {"quillmar.raw", 180, 80},
                              {"balls.raw", -1, -1}};
  for (const Picture& picture : pictures) {
    SCOPED_TRACE(picture.name);
    const Bytes& bytes = generated(picture.name);
    ASSERT_EQ(bytes.size(), 640u * 400u * 4u);
    std::set<int> colours;
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
      colours.insert(bytes[i] << 16 | bytes[i + 1] << 8 | bytes[i + 2]);
    }
    EXPECT_GE(colours.size(), 2000u) << "nearly one flat tone";
    if (picture.caption_top < 0) continue;
    EXPECT_TRUE(band_is_plain(bytes, picture.caption_top));
    // The same rule sees the lettering, so a plain band is a real finding.
    EXPECT_FALSE(band_is_plain(bytes, picture.lettering_top));
  }
}

}  // namespace
