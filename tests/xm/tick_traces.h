// A song's state after every tick as two players report it, in one shape so that they can be
// compared: ours (xm::Replayer) and libxmp in its FastTracker 2 mode, a black box whose
// per-tick report (xmp_get_frame_info) gives each channel's period, volume and panning.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "xm/module.h"

struct ChannelState {
  double hz = 0;   // 0 when the channel plays nothing
  int volume = 0;  // 0..64
  int panning = 128;
  // Ours only: how many period steps a vibrato may swing the pitch here, the row's (4xy, 6xy,
  // volume column Bx) and the instrument's own. FastTracker 2's vibrato is a 32-step table read at
  // whole periods and held through a row's first tick, libxmp's a finer wave of its own: within a
  // swing the two part by several cents.
  int swing = 0;
  // Ours only: a key off has come since the channel's last note. FastTracker 2 reads a row before
  // it runs the envelopes, so the release starts on the key off's own tick; libxmp starts it a
  // tick later and stays a step or two louder while the note dies away.
  bool released = false;
};

struct TickState {
  int order = 0, pattern = 0, row = 0, tick = 0, speed = 0, bpm = 0;
  std::vector<ChannelState> channels;
};

struct Trace {
  std::string error;             // empty when the song was followed to its end
  std::vector<TickState> ticks;  // from the first tick to the last before the song comes round
};

Trace trace_ours(const xm::Module& module, std::size_t max_ticks);
Trace trace_libxmp(std::span<const std::uint8_t> file, std::size_t max_ticks);
