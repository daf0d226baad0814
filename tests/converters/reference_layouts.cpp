#include "tests/converters/reference_layouts.h"

#include <stdexcept>

#include "tests/support/layout_oracle.h"

namespace reference {
namespace {

// Each channel's top bits where the layout oracle puts them, in a little-endian value of the
// layout's bytes; only the straight 32-bit copy carries byte 3 along.
void write_pixel(emulated::Layout layout, std::uint32_t pixel, std::uint8_t* destination) {
  const layout_oracle::Entry& e = layout_oracle::entry(layout);
  const auto place = [pixel](int from, layout_oracle::Channel c) {
    return (((pixel >> from) & 0xFFu) >> (8 - c.width)) << c.shift;
  };
  std::uint32_t value = place(16, e.red) | place(8, e.green) | place(0, e.blue);
  if (layout == emulated::Layout::xrgb8888) value |= pixel & 0xFF000000u;
  for (int i = 0; i < e.bytes; ++i) destination[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

const std::vector<Layout>& layouts() {
  using emulated::Layout;
  static const std::vector<reference::Layout> all = {
      {"xrgb8888", convert_row_xrgb8888, 4, Layout::xrgb8888},
      {"xbgr8888", convert_row_xbgr8888, 4, Layout::xbgr8888},
      {"rgb888", convert_row_rgb888, 3, Layout::rgb888},
      {"bgr888", convert_row_bgr888, 3, Layout::bgr888},
      {"rgb565", convert_row_rgb565, 2, Layout::rgb565},
      {"bgr565", convert_row_bgr565, 2, Layout::bgr565},
      {"rgb555", convert_row_rgb555, 2, Layout::rgb555},
      {"bgr555", convert_row_bgr555, 2, Layout::bgr555},
  };
  return all;
}

const Layout& layout(const std::string& name) {
  for (const Layout& l : layouts()) {
    if (name == l.name) return l;
  }
  throw std::invalid_argument("no layout " + name);
}

std::vector<std::uint8_t> row(const Layout& layout, const std::vector<std::uint32_t>& source) {
  const auto size = static_cast<std::size_t>(layout.bytes_per_pixel);
  std::vector<std::uint8_t> bytes(source.size() * size);
  for (std::size_t i = 0; i < source.size(); ++i) {
    write_pixel(layout.screen, source[i], bytes.data() + i * size);
  }
  return bytes;
}

std::string name_of(const Layout& layout) { return layout.name; }

void PrintTo(const Layout& layout, std::ostream* out) { *out << layout.name; }

}  // namespace reference
