// What the screen should hold for a frame, worked out from the surface's channel masks alone: each
// 8-bit channel keeps its top bits and lands where its mask says. Bits outside the three masks (the
// spare byte of 32-bit pixels, the spare bit of 555) are not checked.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/support/fake_platform.h"

inline std::uint32_t place_channel(std::uint32_t value8, std::uint32_t mask) {
  const int width = std::popcount(mask);
  const int shift = std::countr_zero(mask);
  return (value8 >> (8 - width)) << shift;
}

inline std::uint32_t screen_pixel(std::uint32_t framebuffer_pixel,
                                  const fake::PixelFormat& format) {
  return place_channel((framebuffer_pixel >> 16) & 0xFF, format.red_mask) |
         place_channel((framebuffer_pixel >> 8) & 0xFF, format.green_mask) |
         place_channel(framebuffer_pixel & 0xFF, format.blue_mask);
}

// A frame whose every pixel, and so every row, differs from the others; the top byte stays 0 as in
// the framebuffer.
inline std::vector<std::uint32_t> make_frame(int width, int height, std::uint32_t seed) {
  std::vector<std::uint32_t> frame(static_cast<std::size_t>(width) *
                                   static_cast<std::size_t>(height));
  std::uint32_t state = seed * 2654435761u + 1;
  for (std::uint32_t& pixel : frame) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    pixel = state & 0x00FFFFFFu;
  }
  return frame;
}

// Checks every pixel of every row at row x pitch, and that the bytes past each row's pixels still
// hold `gap_fill`.
inline ::testing::AssertionResult screen_shows(const std::vector<std::uint8_t>& screen,
                                               const std::vector<std::uint32_t>& frame, int width,
                                               int height, long pitch,
                                               const fake::PixelFormat& format,
                                               std::uint8_t gap_fill) {
  const int bytes_per_pixel = static_cast<int>(format.bit_count) / 8;
  const std::uint32_t checked = format.red_mask | format.green_mask | format.blue_mask;
  if (screen.size() != static_cast<std::size_t>(pitch) * static_cast<std::size_t>(height)) {
    return ::testing::AssertionFailure() << "screen of " << screen.size() << " bytes";
  }
  for (int row = 0; row < height; ++row) {
    const std::size_t row_start = static_cast<std::size_t>(row) * static_cast<std::size_t>(pitch);
    for (int column = 0; column < width; ++column) {
      std::uint32_t value = 0;
      for (int byte = 0; byte < bytes_per_pixel; ++byte) {
        const std::size_t at =
            row_start + static_cast<std::size_t>(column * bytes_per_pixel + byte);
        value |= static_cast<std::uint32_t>(screen[at]) << (8 * byte);
      }
      const std::uint32_t source = frame[static_cast<std::size_t>(row * width + column)];
      const std::uint32_t expected = screen_pixel(source, format);
      if ((value & checked) != expected) {
        return ::testing::AssertionFailure()
               << "row " << row << " column " << column << ": 0x" << std::hex << (value & checked)
               << " instead of 0x" << expected;
      }
    }
    for (long gap = static_cast<long>(width) * bytes_per_pixel; gap < pitch; ++gap) {
      if (screen[row_start + static_cast<std::size_t>(gap)] != gap_fill) {
        return ::testing::AssertionFailure() << "row " << row << " gap byte " << gap << " written";
      }
    }
  }
  return ::testing::AssertionSuccess();
}
