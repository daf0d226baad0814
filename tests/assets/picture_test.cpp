// The generated files: exact sizes, pictures with real content, caption bands left plain, and the
// same bytes on every run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>

#include "tests/assets/generated_files.h"

namespace {

const char* const picture_names[] = {"drumvelk.raw", "presents.raw", "quillmar.raw", "balls.raw"};
const char* const all_names[] = {"drumvelk.raw", "presents.raw", "quillmar.raw", "zadadodovoze.raw",
                                 "balls.raw"};
const char* const every_file[] = {"drumvelk.raw",     "presents.raw", "quillmar.raw",
                                  "zadadodovoze.raw", "balls.raw",    "theme2.xm"};

TEST(GeneratedFiles, AreTheSixFilesTheShowReads) {
  const std::string folder = run_generator();
  ASSERT_FALSE(folder.empty());
  std::set<std::string> found;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    found.insert(entry.path().filename().string());
  }
  std::filesystem::remove_all(folder);
  EXPECT_EQ(found, std::set<std::string>(std::begin(every_file), std::end(every_file)));
}

TEST(GeneratedFiles, HaveTheirExactSizesAndAZeroFourthByte) {
  for (const char* name : all_names) {
    SCOPED_TRACE(name);
    const Bytes& bytes = generated(name);
    const std::size_t expected =
        std::string(name) == "zadadodovoze.raw" ? 728u * 16u * 4u : 640u * 400u * 4u;
    ASSERT_EQ(bytes.size(), expected);
    for (std::size_t i = 3; i < bytes.size(); i += 4) ASSERT_EQ(bytes[i], 0) << "pixel " << i / 4;
  }
}

TEST(GeneratedFiles, AreIdenticalOnASecondRun) {
  const std::string again = run_generator();
  ASSERT_FALSE(again.empty());
  for (const char* name : every_file) {
    SCOPED_TRACE(name);
    const Bytes second = read_file(again + "/" + name);
    EXPECT_FALSE(second.empty());
    EXPECT_TRUE(second == generated(name));
  }
  std::filesystem::remove_all(again);
}

int luminance(Pixel p) { return (299 * p.r + 587 * p.g + 114 * p.b) / 1000; }

// Not flat: at least 2000 distinct colours, and the brightest twentieth of the pixels at least 80
// levels above the darkest twentieth (a picture with depth and highlights, not one tone).
TEST(Pictures, HaveManyColoursAndABroadRangeOfBrightness) {
  for (const char* name : picture_names) {
    SCOPED_TRACE(name);
    const Bytes& bytes = generated(name);
    ASSERT_EQ(bytes.size(), 640u * 400u * 4u);
    std::set<int> colours;
    std::vector<int> lum;
    for (int y = 0; y < picture_height; ++y) {
      for (int x = 0; x < picture_width; ++x) {
        const Pixel p = pixel_at(bytes, x, y);
        colours.insert((p.r << 16) | (p.g << 8) | p.b);
        lum.push_back(luminance(p));
      }
    }
    std::sort(lum.begin(), lum.end());
    EXPECT_GE(colours.size(), 2000u);
    EXPECT_GE(lum[lum.size() * 95 / 100] - lum[lum.size() * 5 / 100], 80);
  }
}

// A caption band is plain when it holds nothing with an edge: no two neighbouring pixels in it
// (across or down) differ by more than 6 levels in any channel. Letters, outlines and stars all
// have sharp edges; a smooth sky or floor gradient changes by a level or two per row.
bool band_is_plain(const Bytes& picture, int top, int left = 180, int right = 499, int rows = 16) {
  for (int y = top; y < top + rows; ++y) {
    for (int x = left; x <= right; ++x) {
      const Pixel p = pixel_at(picture, x, y);
      const Pixel across = pixel_at(picture, x < right ? x + 1 : x, y);
      const Pixel down = pixel_at(picture, x, y < top + rows - 1 ? y + 1 : y);
      for (const Pixel q : {across, down}) {
        if (std::abs(p.r - q.r) > 6 || std::abs(p.g - q.g) > 6 || std::abs(p.b - q.b) > 6) {
          return false;
        }
      }
    }
  }
  return true;
}

struct Band {
  const char* name;
  int caption_top;    // the rows the caption's black band will cover
  int lettering_top;  // rows through the picture's own big letters
};

TEST(Pictures, LeaveTheirCaptionBandPlainAndKeepTheirLettersElsewhere) {
  const Band bands[] = {
      {"drumvelk.raw", 300, 150}, {"presents.raw", 300, 185}, {"quillmar.raw", 180, 80}};
  for (const Band& band : bands) {
    SCOPED_TRACE(band.name);
    const Bytes& bytes = generated(band.name);
    ASSERT_EQ(bytes.size(), 640u * 400u * 4u);
    EXPECT_TRUE(band_is_plain(bytes, band.caption_top));
    // The same rule does see the lettering, so a plain band is a real finding.
    EXPECT_FALSE(band_is_plain(bytes, band.lettering_top));
  }
}

}  // namespace
