#include "display/converter_path.h"

#if SHOW_MMX_CONVERTERS

#include "display/block_routines.h"
#include "display/mmx_memory.h"
#include "display/pixel_formulas.h"

namespace block {

namespace {

constexpr std::uint64_t blue_top5 = 0x000000F8000000F8u;
constexpr std::uint64_t green_top6 = 0x0000FC000000FC00u;
constexpr std::uint64_t red_top5 = 0x00F8000000F80000u;

struct Masks {
  __m64 blue = mmx::constant(blue_top5);
  __m64 green = mmx::constant(green_top6);
  __m64 red = mmx::constant(red_top5);
};

// One step converts four pixels, worked on as two pairs with one 32-bit lane per pixel. Green and
// the low channel are assembled in bits 0-10 of each lane and narrowed to words with packssdw (no
// lane exceeds 0x7FF). The high channel's top five bits are left as the upper 16-bit half of each
// lane, lower half zero; packuswb narrows the halves to bytes (none exceeds 0xF8), which makes each
// pixel's word (channel AND 0xF8) << 8: the channel in bits 11-15.
inline __m64 rgb565_step(const std::uint8_t* from, const Masks& m) {
  const __m64 p01 = mmx::load(from);
  const __m64 p23 = mmx::load(from + 8);
  const __m64 gb01 = _mm_srli_pi32(
      _mm_or_si64(_mm_and_si64(p01, m.green), _mm_slli_pi32(_mm_and_si64(p01, m.blue), 2)), 5);
  const __m64 gb23 = _mm_srli_pi32(
      _mm_or_si64(_mm_and_si64(p23, m.green), _mm_slli_pi32(_mm_and_si64(p23, m.blue), 2)), 5);
  const __m64 r01 = _mm_and_si64(p01, m.red);
  const __m64 r23 = _mm_and_si64(p23, m.red);
  return _mm_or_si64(_mm_packs_pi32(gb01, gb23), _mm_packs_pu16(r01, r23));
}

// The same with red and blue exchanged.
inline __m64 bgr565_step(const std::uint8_t* from, const Masks& m) {
  const __m64 p01 = mmx::load(from);
  const __m64 p23 = mmx::load(from + 8);
  const __m64 gr01 = _mm_srli_pi32(
      _mm_or_si64(_mm_and_si64(p01, m.green), _mm_srli_pi32(_mm_and_si64(p01, m.red), 14)), 5);
  const __m64 gr23 = _mm_srli_pi32(
      _mm_or_si64(_mm_and_si64(p23, m.green), _mm_srli_pi32(_mm_and_si64(p23, m.red), 14)), 5);
  const __m64 b01 = _mm_slli_pi32(_mm_and_si64(p01, m.blue), 16);
  const __m64 b23 = _mm_slli_pi32(_mm_and_si64(p23, m.blue), 16);
  return _mm_or_si64(_mm_packs_pi32(gr01, gr23), _mm_packs_pu16(b01, b23));
}

template <__m64 (*Step)(const std::uint8_t*, const Masks&), std::uint32_t (*Pixel)(std::uint32_t)>
void convert(void* destination, const std::uint32_t* source, std::uint32_t count) {
  auto* to = static_cast<std::uint8_t*>(destination);
  auto* from = reinterpret_cast<const std::uint8_t*>(source);
  const Masks masks;
  for (std::uint32_t blocks = count / 4; blocks != 0; --blocks) {
    mmx::store(to, Step(from, masks));
    from += 16;
    to += 8;
  }
  for (std::uint32_t rest = count % 4; rest != 0; --rest) {
    pixel::store16(to, Pixel(pixel::load(from)));
    from += 4;
    to += 2;
  }
  _mm_empty();
}

}  // namespace

void rgb565(void* destination, const std::uint32_t* source, std::uint32_t count) {
  convert<rgb565_step, pixel::rgb565>(destination, source, count);
}

void bgr565(void* destination, const std::uint32_t* source, std::uint32_t count) {
  convert<bgr565_step, pixel::bgr565>(destination, source, count);
}

}  // namespace block

#endif
