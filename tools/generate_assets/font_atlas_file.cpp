#include "tools/generate_assets/font_glyphs.h"
#include "tools/generate_assets/pictures.h"

std::vector<std::uint8_t> font_atlas_bytes() {
  constexpr int width = font_glyph_columns * font_glyph_count;
  std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * font_glyph_rows * 4, 0);
  for (int row = 0; row < font_glyph_rows; ++row) {
    for (int x = 0; x < width; ++x) {
      if (!glyph_ink(font_first_code + x / font_glyph_columns, x % font_glyph_columns, row))
        continue;
      const std::size_t at = (static_cast<std::size_t>(row) * width + x) * 4;
      out[at] = out[at + 1] = out[at + 2] = 0xFF;  // white; the fourth byte stays 0
    }
  }
  return out;
}
