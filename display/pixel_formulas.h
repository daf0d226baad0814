// One pixel at a time: the loads and stores that need no alignment, and each layout's value for one
// framebuffer pixel 0x00RRGGBB. The block routines use these for the pixels left over after their
// last whole block, so the formulas give exactly the bytes of a block step.
#pragma once

#include <cstdint>
#include <cstring>

namespace pixel {

inline std::uint32_t load(const std::uint8_t* source) {
  std::uint32_t value;
  std::memcpy(&value, source, sizeof value);
  return value;
}

inline void store32(std::uint8_t* destination, std::uint32_t value) {
  std::memcpy(destination, &value, sizeof value);
}

// Low byte first, then high byte.
inline void store16(std::uint8_t* destination, std::uint32_t value) {
  destination[0] = static_cast<std::uint8_t>(value);
  destination[1] = static_cast<std::uint8_t>(value >> 8);
}

constexpr std::uint32_t xbgr8888(std::uint32_t p) {
  return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

constexpr std::uint32_t red(std::uint32_t p) { return (p >> 16) & 0xFFu; }
constexpr std::uint32_t green(std::uint32_t p) { return (p >> 8) & 0xFFu; }
constexpr std::uint32_t blue(std::uint32_t p) { return p & 0xFFu; }

constexpr std::uint32_t rgb565(std::uint32_t p) {
  return ((red(p) & 0xF8u) << 8) | ((green(p) & 0xFCu) << 3) | (blue(p) >> 3);
}
constexpr std::uint32_t bgr565(std::uint32_t p) {
  return ((blue(p) & 0xF8u) << 8) | ((green(p) & 0xFCu) << 3) | (red(p) >> 3);
}

// Both 555 layouts, as the block step computes them: the top five bits of blue and of red times
// their multipliers (block::rgb555_multipliers or block::bgr555_multipliers), green's top five bits
// at bits 11-15, all shifted down by 6. Bit 15 of the result stays zero.
constexpr std::uint32_t layout555(std::uint32_t p, std::uint64_t multipliers) {
  const auto blue_multiplier = static_cast<std::uint32_t>(multipliers & 0xFFFFu);
  const auto red_multiplier = static_cast<std::uint32_t>((multipliers >> 16) & 0xFFFFu);
  return (((p & 0xF8u) * blue_multiplier + ((p >> 16) & 0xF8u) * red_multiplier) | (p & 0xF800u)) >>
         6;
}

}  // namespace pixel
