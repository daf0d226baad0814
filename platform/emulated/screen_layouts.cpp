#include "platform/emulated/screen_layouts.h"

#include <bit>

namespace emulated {
namespace {

constexpr LayoutInfo layouts[layout_count] = {
    {Layout::xrgb8888, "xrgb8888", 32, 0xFF0000, 0x00FF00, 0x0000FF, 4},
    {Layout::xbgr8888, "xbgr8888", 32, 0x0000FF, 0x00FF00, 0xFF0000, 4},
    {Layout::rgb888, "rgb888", 24, 0xFF0000, 0x00FF00, 0x0000FF, 3},
    {Layout::bgr888, "bgr888", 24, 0x0000FF, 0x00FF00, 0xFF0000, 3},
    {Layout::rgb565, "rgb565", 16, 0xF800, 0x07E0, 0x001F, 2},
    {Layout::bgr565, "bgr565", 16, 0x001F, 0x07E0, 0xF800, 2},
    {Layout::rgb555, "rgb555", 16, 0x7C00, 0x03E0, 0x001F, 2},
    {Layout::bgr555, "bgr555", 16, 0x001F, 0x03E0, 0x7C00, 2},
};

// A channel of `mask` widened to 8 bits: its bits on top, then its top bits again below them.
// Every channel here is 5, 6 or 8 bits wide, so one repetition fills the byte.
// The mask is a template argument so that its width and position are worked out at compile time,
// not per pixel (which matters in unoptimised builds).
template <std::uint32_t mask>
constexpr std::uint32_t widen(std::uint32_t pixel) {
  constexpr int width = std::popcount(mask);
  constexpr int shift = std::countr_zero(mask);
  const std::uint32_t bits = (pixel & mask) >> shift;
  return ((bits << (8 - width)) | (bits >> (2 * width - 8))) & 0xFF;
}

// One loop per layout, so that the masks and shifts are constants.
template <int index>
void decode(const std::uint8_t* row, int count, std::uint32_t* out) {
  constexpr LayoutInfo info = layouts[index];
  for (int i = 0; i < count; ++i) {
    const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(i) * info.bytes_per_pixel;
    std::uint32_t pixel = p[0];
    for (int byte = 1; byte < info.bytes_per_pixel; ++byte) {
      pixel |= static_cast<std::uint32_t>(p[byte]) << (8 * byte);
    }
    out[i] = (widen<info.red_mask>(pixel) << 16) | (widen<info.green_mask>(pixel) << 8) |
             widen<info.blue_mask>(pixel);
  }
}

using Decoder = void (*)(const std::uint8_t*, int, std::uint32_t*);

constexpr Decoder decoders[layout_count] = {decode<0>, decode<1>, decode<2>, decode<3>,
                                            decode<4>, decode<5>, decode<6>, decode<7>};

static_assert([] {
  for (int i = 0; i < layout_count; ++i) {
    if (static_cast<int>(layouts[i].layout) != i) return false;
  }
  return true;
}());

}  // namespace

const LayoutInfo& layout_info(Layout layout) {
  const auto index = static_cast<unsigned>(layout);
  return layouts[index < layout_count ? index : 0];
}

std::optional<Layout> parse_layout(std::string_view name) {
  for (const LayoutInfo& info : layouts) {
    if (info.name == name) return info.layout;
  }
  return std::nullopt;
}

void decode_row(Layout layout, const std::uint8_t* row, int count, std::uint32_t* out) {
  const auto index = static_cast<unsigned>(layout);
  if (index >= layout_count || count <= 0) return;
  decoders[index](row, count, out);
}

}  // namespace emulated
