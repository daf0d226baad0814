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
