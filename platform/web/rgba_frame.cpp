#include "platform/web/rgba_frame.h"

namespace web_platform {

std::size_t rgba_bytes(int width, int height) {
  if (width <= 0 || height <= 0) return 0;
  return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
}

void frame_to_rgba(const emulated::Frame& frame, std::span<std::uint32_t> row,
                   std::span<std::uint8_t> rgba) {
  if (rgba_bytes(frame.width, frame.height) == 0) return;
  std::uint8_t* out = rgba.data();
  for (int y = 0; y < frame.height; ++y) {
    emulated::decode_row(frame.layout, frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch,
                         frame.width, row.data());
    for (int x = 0; x < frame.width; ++x) {
      const std::uint32_t pixel = row[static_cast<std::size_t>(x)];
      out[0] = static_cast<std::uint8_t>(pixel >> 16);
      out[1] = static_cast<std::uint8_t>(pixel >> 8);
      out[2] = static_cast<std::uint8_t>(pixel);
      out[3] = 0xFF;
      out += 4;
    }
  }
}

}  // namespace web_platform
