// The XM player: a Replayer and a Mixer driven together, rendering a song into a caller's buffer.
//
// Usage:
//   xm::LoadResult loaded = xm::load(bytes);       // the caller reads the file
//   if (!loaded.ok()) report(loaded.message());
//   xm::Player player(loaded.module, {.rate = 48000, .loop = true});
//   player.render(buffer, frames);                   // as often as the sound device asks
//
// Standard library only: no files, devices or globals; the same module and settings always give
// the same samples. Allocates nothing after construction. The Module must outlive the Player.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "xm/mixer.h"
#include "xm/replayer.h"

namespace xm {

struct PlayerSettings {
  int rate = 44100;
  Interpolation interpolation = Interpolation::linear;
  bool ramping = true;
  bool loop = false;  // at the song's end go on from where the song goes round, instead of stopping
};

class Player {
 public:
  Player(const Module& module, const PlayerSettings& settings);

  // Writes up to `frames` stereo frames (left, right, ...) into `out` and returns how many: fewer
  // than asked only when the song has ended and looping is off (0 from then on). 16-bit output
  // saturates; float output is 1.0 at full scale and is not clipped.
  std::size_t render(std::int16_t* out, std::size_t frames);
  std::size_t render(float* out, std::size_t frames);

  // The tick being played, and whether the song has played through once.
  const Replayer& replayer() const { return replayer_; }
  bool ended() const;
  std::int64_t frames_rendered() const;

 private:
  // Runs the next tick and readies its frames; false once the song has ended and looping is off.
  bool next_tick();

  PlayerSettings settings_;
  Replayer replayer_;
  Mixer mixer_;
  std::uint32_t tick_frames_left_ = 0;  // of the tick being played
  std::int64_t frames_rendered_ = 0;
  bool ended_ = false;  // the song has come round (or halted) at least once
  // 16-bit output is mixed here in float first.
  static constexpr std::size_t chunk_frames = 512;
  std::array<float, 2 * chunk_frames> chunk_{};
};

}  // namespace xm
