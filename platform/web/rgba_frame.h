// The emulated screen's front buffer as a canvas takes it: RGBA, one byte a channel, alpha 255,
// rows top first and packed. Channels narrower than 8 bits are widened as the screen shows them
// (platform/emulated/screen_layouts.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/emulated/emulated_platform.h"

namespace web_platform {

// Bytes an RGBA picture of the frame's size takes; 0 for a frame with no pixels.
std::size_t rgba_bytes(int width, int height);

// Writes the frame into `rgba`, which must hold rgba_bytes(frame.width, frame.height) bytes; `row`
// must hold frame.width words and is used in between. Nothing is written for a frame with no
// pixels.
void frame_to_rgba(const emulated::Frame& frame, std::span<std::uint32_t> row,
                   std::span<std::uint8_t> rgba);

}  // namespace web_platform
