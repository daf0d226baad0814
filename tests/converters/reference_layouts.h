// The destination layouts written out one pixel at a time from the layout oracle's channel
// positions: what every converter is checked against.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "display/pixel_converters.h"
#include "platform/emulated/screen_layouts.h"

namespace reference {

struct Layout {
  const char* name;
  PixelConverter converter;
  int bytes_per_pixel;
  emulated::Layout screen;
};

// All eight, in the order xrgb8888, xbgr8888, rgb888, bgr888, rgb565, bgr565, rgb555, bgr555.
const std::vector<Layout>& layouts();
const Layout& layout(const std::string& name);

// The destination bytes of a whole row.
std::vector<std::uint8_t> row(const Layout& layout, const std::vector<std::uint32_t>& source);

// For test names and messages.
std::string name_of(const Layout& layout);
void PrintTo(const Layout& layout, std::ostream* out);

}  // namespace reference
