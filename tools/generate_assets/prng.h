// A small deterministic generator of our own, so the art is the same with every standard library.
#pragma once

#include <cstdint>

class Prng {
 public:
  explicit Prng(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}

  std::uint32_t next() {  // xorshift32
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  // Uniform in [0, 1) with 24 bits, exact in float.
  float unit() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }
  float range(float lo, float hi) { return lo + (hi - lo) * unit(); }

 private:
  std::uint32_t state_;
};

// A stateless hash of a lattice point, for value noise.
inline std::uint32_t hash2(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  std::uint32_t h = seed ^ (static_cast<std::uint32_t>(x) * 0x8DA6B343u) ^
                    (static_cast<std::uint32_t>(y) * 0xD8163841u);
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}
