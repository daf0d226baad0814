// The eight screen layouts written out from their byte layouts, independently of the platform's
// own table: where each channel sits and how a pixel reads back as 8-bit channels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "platform/emulated/screen_layouts.h"

namespace layout_oracle {

struct Channel {
  int shift;  // lowest bit of the channel in the little-endian pixel value
  int width;  // bits kept
};

struct Entry {
  emulated::Layout layout;
  const char* name;
  int bytes;
  Channel red, green, blue;
};

// xrgb8888: bytes B G R x; xbgr8888: R G B x; rgb888: B G R; bgr888: R G B; 565: RRRRRGGG GGGBBBBB
// (or blue on top); 555: xRRRRRGG GGGBBBBB (or blue on top).
inline const std::vector<Entry>& entries() {
  static const std::vector<Entry> all = {
      {emulated::Layout::xrgb8888, "xrgb8888", 4, {16, 8}, {8, 8}, {0, 8}},
      {emulated::Layout::xbgr8888, "xbgr8888", 4, {0, 8}, {8, 8}, {16, 8}},
      {emulated::Layout::rgb888, "rgb888", 3, {16, 8}, {8, 8}, {0, 8}},
      {emulated::Layout::bgr888, "bgr888", 3, {0, 8}, {8, 8}, {16, 8}},
      {emulated::Layout::rgb565, "rgb565", 2, {11, 5}, {5, 6}, {0, 5}},
      {emulated::Layout::bgr565, "bgr565", 2, {0, 5}, {5, 6}, {11, 5}},
      {emulated::Layout::rgb555, "rgb555", 2, {10, 5}, {5, 5}, {0, 5}},
      {emulated::Layout::bgr555, "bgr555", 2, {0, 5}, {5, 5}, {10, 5}},
  };
  return all;
}

// Test names and failure messages show the layout's name.
inline void PrintTo(const Entry& e, std::ostream* out) { *out << e.name; }

inline const Entry& entry(emulated::Layout layout) {
  for (const Entry& e : entries()) {
    if (e.layout == layout) return e;
  }
  return entries().front();
}

inline std::uint32_t mask(Channel c) { return ((1u << c.width) - 1u) << c.shift; }

// Bit i of the widened byte (from the top) is bit (i mod width) of the kept bits (from the top):
// the kept bits repeated until eight are filled.
inline std::uint32_t replicate(std::uint32_t kept, int width) {
  std::uint32_t out = 0;
  for (int i = 0; i < 8; ++i) {
    const int from_top = i % width;
    const std::uint32_t bit = (kept >> (width - 1 - from_top)) & 1u;
    out |= bit << (7 - i);
  }
  return out;
}

// An 8-bit channel truncated to `width` bits and widened back.
inline std::uint32_t narrow_and_widen(std::uint32_t value8, int width) {
  return replicate(value8 >> (8 - width), width);
}

// What the screen shows for a framebuffer pixel 0x..RRGGBB, read back as 0x00RRGGBB.
inline std::uint32_t shown(std::uint32_t pixel, emulated::Layout layout) {
  const Entry& e = entry(layout);
  return (narrow_and_widen((pixel >> 16) & 0xFF, e.red.width) << 16) |
         (narrow_and_widen((pixel >> 8) & 0xFF, e.green.width) << 8) |
         narrow_and_widen(pixel & 0xFF, e.blue.width);
}

// What a screen shows at (x, y) from the top left of a 640x400 picture drawn `scale` times its
// size, black around it.
inline std::uint32_t shown(const std::vector<std::uint32_t>& picture, emulated::Layout layout,
                           int scale, int x, int y) {
  const bool inside = x >= 0 && y >= 0 && x < 640 * scale && y < 400 * scale;
  return inside ? shown(picture[static_cast<std::size_t>(y / scale) * 640 + x / scale], layout) : 0;
}

// The 0x00RRGGBB a stored pixel value reads back as.
inline std::uint32_t read_back(std::uint32_t value, emulated::Layout layout) {
  const Entry& e = entry(layout);
  auto channel = [value](Channel c) {
    return replicate((value >> c.shift) & ((1u << c.width) - 1u), c.width);
  };
  return (channel(e.red) << 16) | (channel(e.green) << 8) | channel(e.blue);
}

}  // namespace layout_oracle
