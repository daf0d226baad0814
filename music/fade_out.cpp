#include "music/fade_out.h"

#include <algorithm>

namespace music {

FadeOut::FadeOut(int rate) : length_(std::max(1, rate * fade_out_ms / 1000)), left_(length_) {}

bool FadeOut::apply(std::int16_t* samples, std::size_t frames) {
  for (std::size_t i = 0; i < frames; ++i) {
    if (left_ > 0) --left_;
    // Whole numbers only: the gain falls by 1/length_ a frame and reaches exactly 0.
    for (std::size_t c = 0; c < 2; ++c) {
      std::int16_t& sample = samples[2 * i + c];
      sample = static_cast<std::int16_t>(std::int32_t{sample} * left_ / length_);
    }
  }
  return left_ == 0;
}

}  // namespace music
