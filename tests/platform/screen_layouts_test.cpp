// The layout table and reading pixels back, against the layouts written out from their bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/emulated/screen_layouts.h"
#include "tests/support/layout_oracle.h"

namespace {

TEST(ScreenLayouts, TableAgreesWithTheByteLayoutsAndNamesParseBack) {
  ASSERT_EQ(layout_oracle::entries().size(), static_cast<std::size_t>(emulated::layout_count));
  for (const layout_oracle::Entry& e : layout_oracle::entries()) {
    const emulated::LayoutInfo& info = emulated::layout_info(e.layout);
    EXPECT_EQ(info.layout, e.layout);
    EXPECT_EQ(info.name, e.name);
    EXPECT_EQ(info.bytes_per_pixel, e.bytes) << e.name;
    EXPECT_EQ(info.bit_count, e.bytes == 2 ? 16u : 8u * static_cast<unsigned>(e.bytes)) << e.name;
    EXPECT_EQ(info.red_mask, layout_oracle::mask(e.red)) << e.name;
    EXPECT_EQ(info.green_mask, layout_oracle::mask(e.green)) << e.name;
    EXPECT_EQ(info.blue_mask, layout_oracle::mask(e.blue)) << e.name;
    EXPECT_EQ(emulated::parse_layout(e.name), e.layout);
  }
  for (const char* bad : {"", "XRGB8888", "rgb 565", "rgb5650", "argb8888", "rgb"}) {
    EXPECT_FALSE(emulated::parse_layout(bad).has_value()) << bad;
  }
}

TEST(ScreenLayouts, WideningRepeatsTheTopBits) {
  // 5 bits: 0x1F -> 0xFF, 0x10 -> 0x84, 0x01 -> 0x08; 6 bits: 0x20 -> 0x82, 0x3F -> 0xFF.
  const std::uint8_t rgb565_bytes[] = {0x00, 0x84,   // red 0x10 (0x8000 | 0x0400: green 0x20)
                                       0x1F, 0x00,   // blue 0x1F
                                       0x01, 0xF8};  // red 0x1F, blue 0x01
  std::uint32_t out[3];
  emulated::decode_row(emulated::Layout::rgb565, rgb565_bytes, 3, out);
  EXPECT_EQ(out[0], 0x848200u);
  EXPECT_EQ(out[1], 0x0000FFu);
  EXPECT_EQ(out[2], 0xFF0008u);
}

TEST(ScreenLayouts, DecodeRowReadsEveryLayoutAsItsBytesSay) {
  for (const layout_oracle::Entry& e : layout_oracle::entries()) {
    SCOPED_TRACE(e.name);
    constexpr int count = 67;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(count * e.bytes) + 1);
    std::uint32_t state = 12345;
    for (std::uint8_t& byte : row) {
      state = state * 1103515245u + 12345u;
      byte = static_cast<std::uint8_t>(state >> 16);
    }
    std::vector<std::uint32_t> out(count + 1, 0xDEADBEEFu);
    emulated::decode_row(e.layout, row.data(), count, out.data());
    for (int i = 0; i < count; ++i) {
      std::uint32_t value = 0;
      for (int b = 0; b < e.bytes; ++b) {
        value |= std::uint32_t{row[static_cast<std::size_t>(i * e.bytes + b)]} << (8 * b);
      }
      ASSERT_EQ(out[static_cast<std::size_t>(i)], layout_oracle::read_back(value, e.layout))
          << "pixel " << i;
    }
    EXPECT_EQ(out[count], 0xDEADBEEFu);  // nothing past the count
    emulated::decode_row(e.layout, row.data(), 0, out.data());
    EXPECT_EQ(out[0], layout_oracle::read_back(row[0] | (e.bytes > 1 ? row[1] << 8 : 0) |
                                                   (e.bytes > 2 ? row[2] << 16 : 0) |
                                                   (e.bytes > 3 ? std::uint32_t{row[3]} << 24 : 0),
                                               e.layout));
  }
}

}  // namespace
