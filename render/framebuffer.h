// The one 32-bit picture every scene is drawn into: 640x400 pixels 0x00RRGGBB, rows top down, no
// gap between rows.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int screen_width = 640;
constexpr int screen_height = 400;
constexpr std::size_t screen_pixels = static_cast<std::size_t>(screen_width) * screen_height;

extern std::uint32_t framebuffer[screen_pixels];
