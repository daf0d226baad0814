// The bitmap font: 91 glyph cells of 8x16 side by side, for the character codes 32 to 122. A pixel
// is ink when any of its bits is set.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int glyph_width = 8;
constexpr int glyph_height = 16;
constexpr int glyph_count = 91;
constexpr int first_glyph_code = 32;
constexpr int atlas_width = glyph_width * glyph_count;  // 728
constexpr int atlas_height = glyph_height;
constexpr std::size_t atlas_pixels = static_cast<std::size_t>(atlas_width) * atlas_height;

extern std::uint32_t font_atlas[atlas_pixels];
