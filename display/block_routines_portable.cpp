// The block routines one pixel at a time, for processors without MMX. They give the same bytes.
#include "display/converter_path.h"

#if !SHOW_MMX_CONVERTERS

#include <cstring>

#include "display/block_routines.h"
#include "display/pixel_converters.h"
#include "display/pixel_formulas.h"

void copy_row_mmx(void* destination, const void* source, std::uint32_t byte_count) {
  if (byte_count != 0) std::memcpy(destination, source, byte_count);
}

namespace block {

namespace {

template <typename Store>
void each_pixel(const std::uint32_t* source, std::uint32_t count, Store store) {
  auto* from = reinterpret_cast<const std::uint8_t*>(source);
  for (std::uint32_t i = 0; i < count; ++i) store(i, pixel::load(from + 4 * i));
}

}  // namespace

void rgb888(void* destination, const std::uint32_t* source, std::uint32_t count) {
  auto* to = static_cast<std::uint8_t*>(destination);
  each_pixel(source, count, [to](std::uint32_t i, std::uint32_t p) {
    to[3 * i] = static_cast<std::uint8_t>(pixel::blue(p));
    to[3 * i + 1] = static_cast<std::uint8_t>(pixel::green(p));
    to[3 * i + 2] = static_cast<std::uint8_t>(pixel::red(p));
  });
}

void rgb565(void* destination, const std::uint32_t* source, std::uint32_t count) {
  auto* to = static_cast<std::uint8_t*>(destination);
  each_pixel(source, count, [to](std::uint32_t i, std::uint32_t p) {
    pixel::store16(to + 2 * i, pixel::rgb565(p));
  });
}

void bgr565(void* destination, const std::uint32_t* source, std::uint32_t count) {
  auto* to = static_cast<std::uint8_t*>(destination);
  each_pixel(source, count, [to](std::uint32_t i, std::uint32_t p) {
    pixel::store16(to + 2 * i, pixel::bgr565(p));
  });
}

void layout555(void* destination, const std::uint32_t* source, std::uint32_t count,
               std::uint64_t multipliers) {
  auto* to = static_cast<std::uint8_t*>(destination);
  each_pixel(source, count, [to, multipliers](std::uint32_t i, std::uint32_t p) {
    pixel::store16(to + 2 * i, pixel::layout555(p, multipliers));
  });
}

}  // namespace block

#endif
