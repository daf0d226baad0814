#include "display/pixel_converters.h"

namespace {

struct ConverterFormat {
  std::uint32_t bit_count;
  std::uint32_t red_mask;
  std::uint32_t green_mask;
  std::uint32_t blue_mask;
  PixelConverter converter;
};

// Exact matches only: a surface whose masks differ in any bit gets no converter.
constexpr ConverterFormat converter_formats[] = {
    {32, 0xFF0000, 0xFF00, 0xFF, convert_row_xrgb8888},
    {32, 0xFF, 0xFF00, 0xFF0000, convert_row_xbgr8888},
    {24, 0xFF0000, 0xFF00, 0xFF, convert_row_rgb888},
    {24, 0xFF, 0xFF00, 0xFF0000, convert_row_bgr888},
    {16, 0xF800, 0x07E0, 0x001F, convert_row_rgb565},
    {16, 0x001F, 0x07E0, 0xF800, convert_row_bgr565},
    {16, 0x7C00, 0x03E0, 0x001F, convert_row_rgb555},
    {16, 0x001F, 0x03E0, 0x7C00, convert_row_bgr555},
};

}  // namespace

PixelConverter select_converter(std::uint32_t bit_count, std::uint32_t red_mask,
                                std::uint32_t green_mask, std::uint32_t blue_mask) {
  for (const ConverterFormat& format : converter_formats) {
    if (format.bit_count == bit_count && format.red_mask == red_mask &&
        format.green_mask == green_mask && format.blue_mask == blue_mask) {
      return format.converter;
    }
  }
  return nullptr;
}
