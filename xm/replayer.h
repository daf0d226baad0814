// Plays a Module tick by tick as FastTracker 2 does, and reports what each channel sounds like.
//
// Tick 0 of a row reads the row's cells (notes, instruments, volume column, effects); the other
// ticks of the row run the effects. After every tick each channel has a `Voice` for the mixer and a
// `ChannelReport` for inspection. Never allocates; the Module must outlive the Replayer, and two
// Replayers on one Module never interfere.
//
// The song's end: the row after the last row played is one the song has already played (the order
// list ran out and goes on at the restart position, or a jump or break went back), not counting
// rows a pattern loop (E6x) repeats. At that point `ended()` becomes true and playing goes on
// there, so a caller loops by ignoring it. F00 halts the song: `ended()` becomes true and the
// position stays where it is.
#pragma once

#include <array>
#include <cstdint>

#include "xm/module.h"

namespace xm {

// What the mixer must do with one channel's voice from this tick on.
struct Voice {
  const Sample* sample = nullptr;  // nullptr: silent
  bool trigger = false;            // (re)start `sample` at `start_frame` on this tick
  std::uint32_t start_frame = 0;   // may be past the sample's end: the voice then stays silent
  double frequency_hz = 0;         // frames of the sample per second
  double volume = 0;               // 0..1, final: volume, envelope, fadeout and global volume
  int panning = 128;               // 0 left .. 255 right, final (envelope applied)
};

// The channel as an outside observer sees it after a tick.
struct ChannelReport {
  double frequency_hz = 0;  // 0 when the channel plays nothing
  int volume = 0;           // 0..64, final (as Voice::volume, scaled and rounded down)
  int panning = 128;        // 0..255, final
};

struct Position {
  int order = 0, pattern = 0, row = 0, tick = 0;
  int speed = 6, bpm = 125;
};

// Stereo frames one tick lasts at `bpm` and `rate` Hz: floor(rate * 2.5 / bpm), as FastTracker 2.
std::uint32_t frames_per_tick(int bpm, int rate);

class Replayer {
 public:
  explicit Replayer(const Module& module);

  // Runs the next tick (the first call runs tick 0 of order 0, row 0). Does nothing once F00 has
  // halted the song.
  void tick();

  // Where the tick just run was, with the speed and BPM it ran at.
  Position position() const;
  const Voice& voice(int channel) const;
  ChannelReport report(int channel) const;
  bool ended() const;
  const Module& module() const { return *module_; }

 private:
  const Module* module_;
  // The playback state (song position, per-channel effect memories, envelopes...) follows here.
};

// Ticks and stereo frames at `rate` Hz from the start to the song's end (see above), without
// rendering audio.
struct SongLength {
  std::int64_t ticks = 0;
  std::int64_t frames = 0;
  double seconds = 0;
};
SongLength song_length(const Module& module, int rate);

}  // namespace xm
