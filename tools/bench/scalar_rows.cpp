#include "tools/bench/scalar_rows.h"

#include <cstring>

namespace scalar {

namespace {

std::uint8_t* bytes(void* destination) { return static_cast<std::uint8_t*>(destination); }

void put16(std::uint8_t* d, std::uint32_t value) {
  const auto word = static_cast<std::uint16_t>(value);
  std::memcpy(d, &word, sizeof word);
}

void put32(std::uint8_t* d, std::uint32_t value) { std::memcpy(d, &value, sizeof value); }

}  // namespace

void xrgb8888(const std::uint32_t* s, void* d, std::int32_t n) {
  for (std::int32_t i = 0; i < n; ++i) put32(bytes(d) + 4 * i, s[i]);
}

void xbgr8888(const std::uint32_t* s, void* d, std::int32_t n) {
  for (std::int32_t i = 0; i < n; ++i) {
    const std::uint32_t p = s[i];
    put32(bytes(d) + 4 * i, ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF));
  }
}

void rgb888(const std::uint32_t* s, void* d, std::int32_t n) {
  for (std::int32_t i = 0; i < n; ++i) {
    const std::uint32_t p = s[i];
    std::uint8_t* o = bytes(d) + 3 * i;
    o[0] = static_cast<std::uint8_t>(p);
    o[1] = static_cast<std::uint8_t>(p >> 8);
    o[2] = static_cast<std::uint8_t>(p >> 16);
  }
}

void bgr888(const std::uint32_t* s, void* d, std::int32_t n) {
  for (std::int32_t i = 0; i < n; ++i) {
    const std::uint32_t p = s[i];
    std::uint8_t* o = bytes(d) + 3 * i;
    o[0] = static_cast<std::uint8_t>(p >> 16);
    o[1] = static_cast<std::uint8_t>(p >> 8);
    o[2] = static_cast<std::uint8_t>(p);
  }
}

void rgb565(const std::uint32_t* s, void* d, std::int32_t n) {
  for (std::int32_t i = 0; i < n; ++i) {
    const std::uint32_t p = s[i];
    put16(bytes(d) + 2 * i, ((p >> 8) & 0xF800) | ((p >> 5) & 0x07E0) | ((p >> 3) & 0x001F));
  }
}

void bgr565(const std::uint32_t* s, void* d, std::int32_t n) {
  for (std::int32_t i = 0; i < n; ++i) {
    const std::uint32_t p = s[i];
    put16(bytes(d) + 2 * i, ((p << 8) & 0xF800) | ((p >> 5) & 0x07E0) | ((p >> 19) & 0x001F));
  }
}

void rgb555(const std::uint32_t* s, void* d, std::int32_t n) {
  for (std::int32_t i = 0; i < n; ++i) {
    const std::uint32_t p = s[i];
    put16(bytes(d) + 2 * i, ((p >> 9) & 0x7C00) | ((p >> 6) & 0x03E0) | ((p >> 3) & 0x001F));
  }
}

void bgr555(const std::uint32_t* s, void* d, std::int32_t n) {
  for (std::int32_t i = 0; i < n; ++i) {
    const std::uint32_t p = s[i];
    put16(bytes(d) + 2 * i, ((p << 7) & 0x7C00) | ((p >> 6) & 0x03E0) | ((p >> 19) & 0x001F));
  }
}

}  // namespace scalar
