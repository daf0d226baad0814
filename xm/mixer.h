// Turns the replayer's voices into stereo PCM at any rate from 8,000 to 96,000 Hz.
//
// One mixing voice per channel plus spare voices for notes that are being faded out when a new one
// starts, so note starts, stops and volume jumps are ramped and do not click. Mixes into float and
// saturates when it converts to 16 bits. Never allocates, locks or does I/O after construction:
// safe inside an audio callback. Reads sample data without bounds checks: the loader's guards
// (xm/module.h, sample_guard) make every read in range.
#pragma once

#include <cstddef>
#include <cstdint>

#include "xm/replayer.h"

namespace xm {

enum class Interpolation : std::uint8_t {
  nearest,  // no interpolation
  linear,   // as FastTracker 2 2.08+ has it
  cubic,    // 4-point, smoother high notes
};

struct MixerSettings {
  int rate = 44100;  // 8000..96000 (clamped)
  Interpolation interpolation = Interpolation::linear;
  bool ramping = true;  // volume ramping on note starts, stops and volume changes
};

class Mixer {
 public:
  explicit Mixer(const MixerSettings& settings);

  // Takes the voices after a tick of `replayer` (every channel of its module).
  void update(const Replayer& replayer);

  // Adds `frames` stereo frames (left, right, ...) of every voice into `out`, which the caller
  // zeroes; 1.0 is full scale.
  void mix(float* out, std::size_t frames);

  const MixerSettings& settings() const { return settings_; }

 private:
  MixerSettings settings_;
  // Voice positions, steps and ramps follow here.
};

}  // namespace xm
