// Turns the replayer's voices into stereo PCM at any rate from 8,000 to 96,000 Hz.
//
// One mixing voice per channel plus spare voices for notes that are being faded out when a new one
// starts, so note starts, stops and volume jumps are ramped and do not click: gains move to each
// tick's values over 5 ms, a new note fades in over 5 ms while the one it replaces fades out on a
// spare. An unlooped sample stops at its last frame; a ping-pong loop plays its end and start
// frames twice, as FastTracker 2 does. Mixes into float and saturates when it converts to 16 bits.
// Never allocates, locks or does I/O after construction: safe inside an audio callback. Reads
// sample data without bounds checks: the loader's guards (xm/module.h, sample_guard) make every
// read in range.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "xm/replayer.h"

namespace xm {

enum class Interpolation : std::uint8_t {
  nearest,  // no interpolation
  linear,   // as FastTracker 2 2.08+ has it
  cubic,    // 4-point Catmull-Rom, smoother high notes
};

// Output amplitude of a full-scale sample at volume 1 panned hard to one side (1.0 is full scale).
// Panning follows FastTracker 2's square-root law: left sqrt((256 - pan) / 256), right
// sqrt(pan / 256), so a centred voice gives mixer_gain * sqrt(1/2) on each side and panning 255
// leaves 1/16 on the left. The show's song then peaks at about half of full scale (-6 dBFS, RMS
// -21 dBFS), leaving headroom for busier songs; openmpt123 --gain -6 plays it about 4 dB quieter,
// xmp -a 0 about 2 dB quieter.
constexpr double mixer_gain = 0.22;

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
  // The same from voices given directly, channel i from voices[i] (at most max_channels).
  void update(std::span<const Voice> voices);

  // Adds `frames` stereo frames (left, right, ...) of every voice into `out`, which the caller
  // zeroes; 1.0 is full scale.
  void mix(float* out, std::size_t frames);

  const MixerSettings& settings() const { return settings_; }

 private:
  // A sample being played: by a channel, or on a spare voice while it fades out.
  struct Playing {
    const std::int16_t* frames = nullptr;       // frame 0 of the sample
    std::int64_t position = 0;                  // frames, 32.32 fixed point
    std::int64_t step = 0;                      // per output frame, 32.32; negative going backwards
    std::int64_t loop_start = 0, loop_end = 0;  // 32.32; loop_end is where playing stops or turns
    LoopType loop = LoopType::none;
    float left = 0, right = 0;  // gains now
    float target_left = 0, target_right = 0;
    float delta_left = 0, delta_right = 0;  // per frame while ramping
    int ramp = 0;                           // frames of ramp left
    bool active = false;
  };
  static constexpr int spare_voices = max_channels;

  void update_channel(int channel, const Voice& voice);
  void fade_out(Playing& playing);
  void set_gains(Playing& playing, float left, float right) const;
  void mix_voice(Playing& playing, float* out, std::size_t frames) const;

  MixerSettings settings_;
  int ramp_frames_ = 1;
  // Channel voices first, then the spares.
  std::array<Playing, max_channels + spare_voices> voices_{};
};

}  // namespace xm
