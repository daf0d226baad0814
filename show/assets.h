// The pictures and font the show reads from its working directory at start-up.
#pragma once

#include <cstdint>

#include "render/framebuffer.h"

extern std::uint32_t logo_image[screen_pixels];
extern std::uint32_t presents_image[screen_pixels];
extern std::uint32_t title_image[screen_pixels];
extern std::uint32_t balls_image[screen_pixels];

// Picture files hold bytes red, green, blue, x; in memory a pixel is 0xXXRRGGBB.
constexpr std::uint32_t swap_red_blue(std::uint32_t pixel) {
  return (pixel & 0xFF00FF00u) | ((pixel & 0xFFu) << 16) | ((pixel >> 16) & 0xFFu);
}

// Reads the four pictures and the font atlas. A file that is short, missing or unreadable leaves
// the rest of its buffer as it was (black, or blank glyphs); a longer one is read only up to its
// size. Only regular files are read: a directory, pipe, device or socket reads as an empty file.
void load_assets();
