// The generator's random numbers: splitmix64, so that every seed, 0 and neighbours included,
// starts a stream of its own, and the numbers are the same with every standard library.
#pragma once

#include <cstdint>

namespace song_generator {

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint32_t next() {
    state_ += 0x9E3779B97F4A7C15u;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
  }
  // 0..n-1, for n >= 1.
  int below(int n) {
    return static_cast<int>((std::uint64_t{next()} * static_cast<std::uint32_t>(n)) >> 32);
  }
  // lo..hi, both included.
  int between(int lo, int hi) { return lo + below(hi - lo + 1); }
  // True `percent` times in a hundred.
  bool percent(int percent) { return below(100) < percent; }

 private:
  std::uint64_t state_;
};

}  // namespace song_generator
