// The pixel layouts an emulated screen can offer, and how to read its pixels back as 8-bit
// channels.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace emulated {

enum class Layout { xrgb8888, xbgr8888, rgb888, bgr888, rgb565, bgr565, rgb555, bgr555 };

constexpr int layout_count = 8;

struct LayoutInfo {
  Layout layout;
  std::string_view name;  // as on the command line, e.g. "rgb565"
  std::uint32_t bit_count;
  std::uint32_t red_mask;
  std::uint32_t green_mask;
  std::uint32_t blue_mask;
  int bytes_per_pixel;
};

const LayoutInfo& layout_info(Layout layout);
std::optional<Layout> parse_layout(std::string_view name);

// Reads `count` pixels of a surface row in `layout` and writes them as 0x00RRGGBB, each channel
// widened back to 8 bits by repeating its top bits (5-bit 0x1F gives 0xFF, 0x10 gives 0x84).
void decode_row(Layout layout, const std::uint8_t* row, int count, std::uint32_t* out);

}  // namespace emulated
