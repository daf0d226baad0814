// The block routines behind the converters with block paths: destination first, then the source and
// the number of pixels. Each does whole blocks first, then the pixels left over one at a time.
#pragma once

#include <cstdint>

namespace block {

void rgb888(void* destination, const std::uint32_t* source, std::uint32_t count);
void rgb565(void* destination, const std::uint32_t* source, std::uint32_t count);
void bgr565(void* destination, const std::uint32_t* source, std::uint32_t count);

// Both 555 layouts: blue and red, five bits each, are put in place by multiplying them, so the
// layouts differ only in the multipliers. Four 16-bit lanes from the least significant: the blue
// multiplier, the red multiplier, and the same again for the second pixel of a pair.
constexpr std::uint64_t rgb555_multipliers = 0x2000000820000008u;  // blue x 8, red x 0x2000
constexpr std::uint64_t bgr555_multipliers = 0x0008200000082000u;  // blue x 0x2000, red x 8
void layout555(void* destination, const std::uint32_t* source, std::uint32_t count,
               std::uint64_t multipliers);

}  // namespace block
