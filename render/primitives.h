// Drawing into the framebuffer: whole pictures, fills, opaque glyph cells, text lines, raster bars.
#pragma once

#include <cstdint>

constexpr std::uint32_t colour_black = 0x000000;
constexpr std::uint32_t colour_white = 0xFFFFFF;

// Text lines are 40 cells wide, starting at column 180.
constexpr int text_line_length = 40;
constexpr int text_line_x = 180;

// Copies a 640x400 picture into the framebuffer unchanged, bits 24-31 included.
void copy_image(const std::uint32_t* picture);

void fill_framebuffer(std::uint32_t colour);

// Draws the opaque 8x16 cell of a glyph (only the low 8 bits of `glyph` count) with its top-left
// corner at x, y: ink white, background black. Cells beyond the atlas and pixels beyond the
// framebuffer are not drawn.
void draw_glyph(int x, int y, int glyph);

// Draws the 40 characters of a line at x = 180 + 8 i. A line that ends early (NUL) draws only up to
// its end; characters outside the font draw nothing.
void draw_text_line(const char* line, int y);

// Clears the framebuffer and paints rows 0 to 383 from the raster palette.
void draw_raster_bars();
