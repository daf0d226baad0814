// The eight converters. Six hand their row to a block routine, destination first; xbgr8888 and
// bgr888 are plain loops, one pixel at a time.
#include "display/pixel_converters.h"

#include "display/block_routines.h"
#include "display/pixel_formulas.h"

namespace {

// A negative count is treated as an empty row.
std::uint32_t pixels(std::int32_t count) {
  return count > 0 ? static_cast<std::uint32_t>(count) : 0;
}

}  // namespace

void convert_row_xrgb8888(const std::uint32_t* source, void* destination, std::int32_t count) {
  copy_row_mmx(destination, source, pixels(count) * 4);
}

void convert_row_xbgr8888(const std::uint32_t* source, void* destination, std::int32_t count) {
  auto* from = reinterpret_cast<const std::uint8_t*>(source);
  auto* to = static_cast<std::uint8_t*>(destination);
  for (std::uint32_t n = pixels(count); n != 0; --n) {
    pixel::store32(to, pixel::xbgr8888(pixel::load(from)));
    from += 4;
    to += 4;
  }
}

void convert_row_rgb888(const std::uint32_t* source, void* destination, std::int32_t count) {
  block::rgb888(destination, source, pixels(count));
}

void convert_row_bgr888(const std::uint32_t* source, void* destination, std::int32_t count) {
  auto* from = reinterpret_cast<const std::uint8_t*>(source);
  auto* to = static_cast<std::uint8_t*>(destination);
  for (std::uint32_t n = pixels(count); n != 0; --n) {
    to[0] = from[2];
    to[1] = from[1];
    to[2] = from[0];
    from += 4;
    to += 3;
  }
}

void convert_row_rgb565(const std::uint32_t* source, void* destination, std::int32_t count) {
  block::rgb565(destination, source, pixels(count));
}

void convert_row_bgr565(const std::uint32_t* source, void* destination, std::int32_t count) {
  block::bgr565(destination, source, pixels(count));
}

void convert_row_rgb555(const std::uint32_t* source, void* destination, std::int32_t count) {
  block::layout555(destination, source, pixels(count), block::rgb555_multipliers);
}

void convert_row_bgr555(const std::uint32_t* source, void* destination, std::int32_t count) {
  block::layout555(destination, source, pixels(count), block::bgr555_multipliers);
}
