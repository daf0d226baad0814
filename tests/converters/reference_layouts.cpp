#include "tests/converters/reference_layouts.h"

#include <stdexcept>

namespace reference {

namespace {

struct Channels {
  std::uint8_t red, green, blue, byte3;
};

Channels channels(std::uint32_t p) {
  return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
          static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 24)};
}

void put_bytes(std::uint8_t* d, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
  d[0] = b0;
  d[1] = b1;
  d[2] = b2;
}

// A 16-bit value from three channel fields, high field first, stored little-endian.
void put_word(std::uint8_t* d, unsigned high, unsigned middle, int middle_bits, unsigned low) {
  const unsigned value = (high << (5 + middle_bits)) | (middle << 5) | low;
  d[0] = static_cast<std::uint8_t>(value & 0xFF);
  d[1] = static_cast<std::uint8_t>(value >> 8);
}

void xrgb8888(std::uint32_t p, std::uint8_t* d) {
  const Channels c = channels(p);
  put_bytes(d, c.blue, c.green, c.red);
  d[3] = c.byte3;
}
void xbgr8888(std::uint32_t p, std::uint8_t* d) {
  const Channels c = channels(p);
  put_bytes(d, c.red, c.green, c.blue);
  d[3] = 0;
}
void rgb888(std::uint32_t p, std::uint8_t* d) {
  const Channels c = channels(p);
  put_bytes(d, c.blue, c.green, c.red);
}
void bgr888(std::uint32_t p, std::uint8_t* d) {
  const Channels c = channels(p);
  put_bytes(d, c.red, c.green, c.blue);
}
void rgb565(std::uint32_t p, std::uint8_t* d) {
  const Channels c = channels(p);
  put_word(d, c.red >> 3, c.green >> 2, 6, c.blue >> 3);
}
void bgr565(std::uint32_t p, std::uint8_t* d) {
  const Channels c = channels(p);
  put_word(d, c.blue >> 3, c.green >> 2, 6, c.red >> 3);
}
void rgb555(std::uint32_t p, std::uint8_t* d) {
  const Channels c = channels(p);
  put_word(d, c.red >> 3, c.green >> 3, 5, c.blue >> 3);
}
void bgr555(std::uint32_t p, std::uint8_t* d) {
  const Channels c = channels(p);
  put_word(d, c.blue >> 3, c.green >> 3, 5, c.red >> 3);
}

}  // namespace

const std::vector<Layout>& layouts() {
  static const std::vector<Layout> all = {
      {"xrgb8888", convert_row_xrgb8888, 4, xrgb8888},
      {"xbgr8888", convert_row_xbgr8888, 4, xbgr8888},
      {"rgb888", convert_row_rgb888, 3, rgb888},
      {"bgr888", convert_row_bgr888, 3, bgr888},
      {"rgb565", convert_row_rgb565, 2, rgb565},
      {"bgr565", convert_row_bgr565, 2, bgr565},
      {"rgb555", convert_row_rgb555, 2, rgb555},
      {"bgr555", convert_row_bgr555, 2, bgr555},
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
  for (std::size_t i = 0; i < source.size(); ++i) layout.pixel(source[i], bytes.data() + i * size);
  return bytes;
}

std::string name_of(const Layout& layout) { return layout.name; }

void PrintTo(const Layout& layout, std::ostream* out) { *out << layout.name; }

}  // namespace reference
