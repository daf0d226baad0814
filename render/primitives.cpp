#include "render/primitives.h"

#include <algorithm>

#include "render/font_atlas.h"
#include "render/framebuffer.h"
#include "render/raster_palette.h"

void copy_image(const std::uint32_t* picture) {
  std::copy(picture, picture + screen_pixels, framebuffer);
}

void fill_framebuffer(std::uint32_t colour) {
  std::fill(framebuffer, framebuffer + screen_pixels, colour);
}

void draw_glyph(int x, int y, int glyph) {
  const unsigned cell = static_cast<unsigned>(glyph) & 0xFFu;
  if (cell >= static_cast<unsigned>(glyph_count)) return;
  // Only the part of the cell that lies on the framebuffer is drawn; wide arithmetic keeps extreme
  // positions from overflowing.
  const long long left = x;
  const long long top = y;
  const int first_column = static_cast<int>(std::clamp(-left, 0LL, 1LL * glyph_width));
  const int last_column = static_cast<int>(std::clamp(screen_width - left, 0LL, 1LL * glyph_width));
  const int first_row = static_cast<int>(std::clamp(-top, 0LL, 1LL * glyph_height));
  const int last_row = static_cast<int>(std::clamp(screen_height - top, 0LL, 1LL * glyph_height));
  if (first_column >= last_column || first_row >= last_row) return;
  for (int row = first_row; row < last_row; ++row) {
    const std::uint32_t* ink = font_atlas + row * atlas_width + cell * glyph_width;
    std::uint32_t* out = framebuffer + (y + row) * screen_width;
    for (int column = first_column; column < last_column; ++column) {
      out[x + column] = ink[column] != 0 ? colour_white : colour_black;
    }
  }
}

void draw_text_line(const char* line, int y) {
  for (int i = 0; i < text_line_length && line[i] != '\0'; ++i) {
    // Wraps below the first code, so such characters fall outside the font and draw nothing.
    const auto cell =
        static_cast<std::uint8_t>(static_cast<unsigned char>(line[i]) - first_glyph_code);
    draw_glyph(text_line_x + glyph_width * i, y, cell);
  }
}

void draw_raster_bars() {
  fill_framebuffer(colour_black);
  constexpr int painted_rows = 384;  // twelve whole bands of the palette
  for (int row = 0; row < painted_rows; ++row) {
    std::uint32_t* out = framebuffer + row * screen_width;
    std::fill(out, out + screen_width, raster_palette[row % raster_palette_size]);
  }
}
