#include "tools/bench/frame_buffers.h"

#include <random>

namespace bench {

namespace {

alignas(64) std::uint32_t source[frame_pixels];
alignas(64) std::uint8_t destination[frame_pixels * 4];
alignas(64) std::uint8_t second_destination[frame_pixels * 4];

bool fill_source() {
  std::mt19937 random(2002);
  for (std::uint32_t& p : source) p = static_cast<std::uint32_t>(random()) & 0x00FFFFFFu;
  return true;
}

}  // namespace

const std::uint32_t* source_frame() {
  static const bool filled = fill_source();
  (void)filled;
  return source;
}

std::uint8_t* destination_frame() { return destination; }
std::uint8_t* second_destination_frame() { return second_destination; }

}  // namespace bench
