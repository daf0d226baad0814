// 8-byte loads and stores between memory and MMX values at any address, and 64-bit constants as MMX
// values. Going through memcpy keeps unaligned access defined; the compiler makes each one a movq.
#pragma once

#include <mmintrin.h>

#include <cstdint>
#include <cstring>

namespace mmx {

inline __m64 load(const void* source) {
  __m64 value;
  std::memcpy(&value, source, sizeof value);
  return value;
}

inline void store(void* destination, __m64 value) {
  std::memcpy(destination, &value, sizeof value);
}

// The value, held in an MMX register. A value that is only copied would otherwise travel through
// pairs of 32-bit registers on 32-bit x86.
inline __m64 in_register(__m64 value) {
  asm("" : "+y"(value));
  return value;
}

inline __m64 constant(std::uint64_t bits) {
  __m64 value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace mmx
