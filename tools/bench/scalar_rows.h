// Plain one-pixel-at-a-time loops for each layout, as a compiler makes them on its own: the
// baseline the converters are timed against. Same signature as the converters; the source must be
// aligned.
#pragma once

#include <cstdint>

namespace scalar {

void xrgb8888(const std::uint32_t* source, void* destination, std::int32_t count);
void xbgr8888(const std::uint32_t* source, void* destination, std::int32_t count);
void rgb888(const std::uint32_t* source, void* destination, std::int32_t count);
void bgr888(const std::uint32_t* source, void* destination, std::int32_t count);
void rgb565(const std::uint32_t* source, void* destination, std::int32_t count);
void bgr565(const std::uint32_t* source, void* destination, std::int32_t count);
void rgb555(const std::uint32_t* source, void* destination, std::int32_t count);
void bgr555(const std::uint32_t* source, void* destination, std::int32_t count);

}  // namespace scalar
