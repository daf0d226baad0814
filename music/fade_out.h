// A short straight fade to silence over 16-bit stereo frames, so that stopping the sound mid-note
// does not click.
#pragma once

#include <cstddef>
#include <cstdint>

namespace music {

// Long enough to take the edge off any waveform, short enough to sound like a stop.
constexpr int fade_out_ms = 8;

class FadeOut {
 public:
  // A fade of `rate` * fade_out_ms / 1000 frames (at least 1), not yet begun.
  explicit FadeOut(int rate = 44100);

  // Scales `frames` stereo frames in place, continuing where the last call stopped; every frame
  // past the fade's end becomes 0. True once the fade has reached silence.
  bool apply(std::int16_t* samples, std::size_t frames);

 private:
  std::int32_t length_;
  std::int32_t left_;  // frames still to fade; 0: silent
};

}  // namespace music
