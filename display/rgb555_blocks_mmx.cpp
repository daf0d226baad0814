#include "display/converter_path.h"

#if SHOW_MMX_CONVERTERS

#include "display/block_routines.h"
#include "display/mmx_memory.h"
#include "display/pixel_formulas.h"

namespace block {

namespace {

// 16-bit lanes: the top five bits of blue (low half of a pixel) and of red (high half).
constexpr std::uint64_t blue_red_top5 = 0x00F800F800F800F8u;
constexpr std::uint64_t green_top5 = 0x0000F8000000F800u;

// Two pixels, one 32-bit lane each: pmaddwd multiplies blue and red into place and adds them (all
// factors are positive and below 0x8000, so the signed multiply is an ordinary one); green is
// already in place. Each lane ends up holding the pixel's 555 value, at most 0x7FFF.
inline __m64 pair555(__m64 p, __m64 blue_red, __m64 green, __m64 multipliers) {
  const __m64 sum = _mm_madd_pi16(_mm_and_si64(p, blue_red), multipliers);
  return _mm_srli_pi32(_mm_or_si64(sum, _mm_and_si64(p, green)), 6);
}

}  // namespace

// Eight pixels per step, stored as two 8-byte runs of four words (packssdw; nothing saturates).
void layout555(void* destination, const std::uint32_t* source, std::uint32_t count,
               std::uint64_t multipliers) {
  auto* to = static_cast<std::uint8_t*>(destination);
  auto* from = reinterpret_cast<const std::uint8_t*>(source);
  const __m64 blue_red = mmx::constant(blue_red_top5);
  const __m64 green = mmx::constant(green_top5);
  const __m64 factors = mmx::constant(multipliers);
  for (std::uint32_t blocks = count / 8; blocks != 0; --blocks) {
    const __m64 s01 = pair555(mmx::load(from), blue_red, green, factors);
    const __m64 s23 = pair555(mmx::load(from + 8), blue_red, green, factors);
    const __m64 s45 = pair555(mmx::load(from + 16), blue_red, green, factors);
    const __m64 s67 = pair555(mmx::load(from + 24), blue_red, green, factors);
    mmx::store(to, _mm_packs_pi32(s01, s23));
    mmx::store(to + 8, _mm_packs_pi32(s45, s67));
    from += 32;
    to += 16;
  }
  for (std::uint32_t rest = count % 8; rest != 0; --rest) {
    pixel::store16(to, pixel::layout555(pixel::load(from), multipliers));
    from += 4;
    to += 2;
  }
  _mm_empty();
}

}  // namespace block

#endif
