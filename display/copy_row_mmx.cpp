#include "display/converter_path.h"

#if SHOW_MMX_CONVERTERS

#include "display/mmx_memory.h"
#include "display/pixel_converters.h"

void copy_row_mmx(void* destination, const void* source, std::uint32_t byte_count) {
  auto* to = static_cast<std::uint8_t*>(destination);
  auto* from = static_cast<const std::uint8_t*>(source);
  // All eight loads of a block come before its stores: a run of reads, then a run of writes.
  for (std::uint32_t blocks = byte_count / 64; blocks != 0; --blocks) {
    const __m64 q0 = mmx::in_register(mmx::load(from));
    const __m64 q1 = mmx::in_register(mmx::load(from + 8));
    const __m64 q2 = mmx::in_register(mmx::load(from + 16));
    const __m64 q3 = mmx::in_register(mmx::load(from + 24));
    const __m64 q4 = mmx::in_register(mmx::load(from + 32));
    const __m64 q5 = mmx::in_register(mmx::load(from + 40));
    const __m64 q6 = mmx::in_register(mmx::load(from + 48));
    const __m64 q7 = mmx::in_register(mmx::load(from + 56));
    mmx::store(to, q0);
    mmx::store(to + 8, q1);
    mmx::store(to + 16, q2);
    mmx::store(to + 24, q3);
    mmx::store(to + 32, q4);
    mmx::store(to + 40, q5);
    mmx::store(to + 48, q6);
    mmx::store(to + 56, q7);
    from += 64;
    to += 64;
  }
  for (std::uint32_t rest = byte_count % 64; rest != 0; --rest) *to++ = *from++;
  _mm_empty();
}

#endif
