// Frames of every screen layout, made by the show's own converters from a row of colours, read as
// RGBA: each pixel what the screen shows for its framebuffer colour (the layout oracle), alpha
// 255, row padding skipped, and nothing written for a frame with no pixels.
#include "platform/web/rgba_frame.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "display/pixel_converters.h"
#include "tests/support/layout_oracle.h"

namespace {

constexpr int width = 9;  // not a whole block of any converter
constexpr int height = 3;
constexpr int padding = 5;

std::uint32_t colour(int x, int y) {
  const std::uint32_t colours[] = {0x00123456, 0x00FFFFFF, 0x00000000, 0x00070307, 0x00080408,
                                   0xAB800001, 0x00F0F0F0, 0x0001FE80, 0x00FF0000};
  return colours[(x + 3 * y) % 9] ^ static_cast<std::uint32_t>(y * 0x010101);
}

class RgbaFrame : public testing::TestWithParam<layout_oracle::Entry> {};

TEST_P(RgbaFrame, EachPixelAsTheScreenShowsIt) {
  const layout_oracle::Entry& entry = GetParam();
  const emulated::LayoutInfo& info = emulated::layout_info(entry.layout);
  const PixelConverter convert =
      select_converter(info.bit_count, info.red_mask, info.green_mask, info.blue_mask);
  ASSERT_NE(convert, nullptr);
  const int pitch = width * entry.bytes + padding;
  std::vector<std::uint8_t> surface(static_cast<std::size_t>(pitch) * height, 0xEE);
  std::vector<std::uint32_t> source(width);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) source[x] = colour(x, y);
    convert(source.data(), surface.data() + y * pitch, width);
  }

  std::vector<std::uint32_t> row(width);
  std::vector<std::uint8_t> rgba(web_platform::rgba_bytes(width, height) + 4, 0x55);
  web_platform::frame_to_rgba(emulated::Frame{surface.data(), width, height, pitch, entry.layout},
                              row, rgba);

  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t shown = layout_oracle::shown(colour(x, y), entry.layout);
      const std::uint8_t* p = &rgba[static_cast<std::size_t>(y * width + x) * 4];
      // As RGBA read big-end first: the colour shown, then alpha 255.
      EXPECT_EQ(std::uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3], shown << 8 | 0xFF)
          << x << "," << y;
    }
  }
  EXPECT_EQ(rgba[web_platform::rgba_bytes(width, height)], 0x55) << "written past the frame";
}

INSTANTIATE_TEST_SUITE_P(Layouts, RgbaFrame, testing::ValuesIn(layout_oracle::entries()),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(RgbaFrameSize, NoPixelsNothingWritten) {
  EXPECT_EQ(web_platform::rgba_bytes(640, 400), 640u * 400u * 4u);
  const std::uint8_t pixels[4] = {};
  std::vector<std::uint32_t> row(1);
  std::vector<std::uint8_t> rgba(4, 0x55);
  for (const auto& [w, h] : {std::pair{0, 1}, std::pair{1, 0}, std::pair{-1, 1}}) {
    EXPECT_EQ(web_platform::rgba_bytes(w, h), 0u);
    web_platform::frame_to_rgba(emulated::Frame{pixels, w, h, 4, emulated::Layout::xrgb8888}, row,
                                rgba);
    EXPECT_EQ(rgba, std::vector<std::uint8_t>(4, 0x55));
  }
}

}  // namespace
