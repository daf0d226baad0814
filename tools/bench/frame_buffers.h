// The frame the converter benchmarks work on: 400 rows of 640 framebuffer pixels, and room for its
// conversion in any layout.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bench {

constexpr int frame_width = 640;
constexpr int frame_height = 400;
constexpr std::size_t frame_pixels = static_cast<std::size_t>(frame_width) * frame_height;

// Random colours, byte 3 zero, as the framebuffer holds them.
const std::uint32_t* source_frame();
// frame_pixels x 4 bytes each.
std::uint8_t* destination_frame();
std::uint8_t* second_destination_frame();

}  // namespace bench
