// Row converters from framebuffer pixels (0x00RRGGBB) to the screen surface's pixel format, and the
// choice of converter for a surface.
#pragma once

#include <cstdint>

// Converts `count` source pixels into the destination row. Reads exactly `count` pixels, writes
// exactly count x (bytes per pixel) bytes, front to back; no alignment needed. A count of 0 or less
// does nothing.
using PixelConverter = void (*)(const std::uint32_t* source, void* destination, std::int32_t count);

void convert_row_xrgb8888(const std::uint32_t* source, void* destination, std::int32_t count);
void convert_row_xbgr8888(const std::uint32_t* source, void* destination, std::int32_t count);
void convert_row_rgb888(const std::uint32_t* source, void* destination, std::int32_t count);
void convert_row_bgr888(const std::uint32_t* source, void* destination, std::int32_t count);
void convert_row_rgb565(const std::uint32_t* source, void* destination, std::int32_t count);
void convert_row_bgr565(const std::uint32_t* source, void* destination, std::int32_t count);
void convert_row_rgb555(const std::uint32_t* source, void* destination, std::int32_t count);
void convert_row_bgr555(const std::uint32_t* source, void* destination, std::int32_t count);

// The block copy behind convert_row_xrgb8888: 64-byte blocks, then the rest byte by byte.
void copy_row_mmx(void* destination, const void* source, std::uint32_t byte_count);

// The converter for a surface's bit count and channel masks, or nullptr when none matches exactly.
PixelConverter select_converter(std::uint32_t bit_count, std::uint32_t red_mask,
                                std::uint32_t green_mask, std::uint32_t blue_mask);
