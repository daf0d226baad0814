#include "display/converter_path.h"

#if SHOW_MMX_CONVERTERS

#include "display/block_routines.h"
#include "display/mmx_memory.h"

namespace block {

// Four pixels per step: 16 source bytes become 12, written as 8 bytes then 4.
void rgb888(void* destination, const std::uint32_t* source, std::uint32_t count) {
  auto* to = static_cast<std::uint8_t*>(destination);
  auto* from = reinterpret_cast<const std::uint8_t*>(source);
  const __m64 colour_bytes = mmx::constant(0x00FFFFFF00FFFFFFu);
  const __m64 zero = _mm_setzero_si64();
  for (std::uint32_t blocks = count / 4; blocks != 0; --blocks) {
    const __m64 p01 = _mm_and_si64(mmx::load(from), colour_bytes);
    const __m64 p23 = _mm_and_si64(mmx::load(from + 8), colour_bytes);
    const __m64 p0 = _mm_unpacklo_pi32(p01, zero);
    const __m64 p1 = _mm_srli_si64(p01, 32);
    const __m64 p2 = _mm_unpacklo_pi32(p23, zero);
    // B0 G0 R0 B1 G1 R1 B2 G2
    const __m64 first = _mm_or_si64(_mm_or_si64(p0, _mm_slli_si64(p1, 24)), _mm_slli_si64(p23, 48));
    // R2 B3 G3 R3: p3 << 8 is p23 >> 24, since byte 3 of p2 is clear.
    const __m64 second = _mm_or_si64(_mm_srli_si64(p2, 16), _mm_srli_si64(p23, 24));
    mmx::store(to, first);
    const auto last_four = static_cast<std::uint32_t>(_mm_cvtsi64_si32(second));
    std::memcpy(to + 8, &last_four, sizeof last_four);
    from += 16;
    to += 12;
  }
  for (std::uint32_t rest = count % 4; rest != 0; --rest) {
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
    from += 4;
    to += 3;
  }
  _mm_empty();
}

}  // namespace block

#endif
