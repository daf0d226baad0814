#include "tests/xm/tick_traces.h"

#include <xmp.h>

#include <cmath>

#include "xm/replayer.h"

namespace {

// A 4xy swings up to depth * 255 / 32 steps either way; without its depth the last one holds:
// any. An instrument's auto-vibrato swings depth steps either way, but libxmp sweeps it in on a
// curve of its own where FastTracker 2 ramps it straight over the sweep's ticks: allow twice.
int swing(const xm::Module& module, const xm::Cell& cell, int instrument) {
  int steps = 0;
  if (cell.effect == 0x4 && (cell.param & 0xF) != 0) {
    steps = (cell.param & 0xF) * 8;
  } else if (cell.effect == 0x4 || cell.effect == 0x6 || (cell.volume >> 4) == 0xB) {
    steps = 15 * 8;
  }
  if (instrument >= 1 && instrument <= static_cast<int>(module.instruments.size())) {
    steps += 2 * module.instruments[static_cast<std::size_t>(instrument - 1)].vibrato_depth;
  }
  return steps;
}

}  // namespace

Trace trace_ours(const xm::Module& module, std::size_t max_ticks) {
  Trace trace;
  xm::Replayer replayer(module);
  std::vector<int> instrument(static_cast<std::size_t>(module.channels), 0);
  std::vector<bool> released(static_cast<std::size_t>(module.channels), false);
  while (trace.ticks.size() < max_ticks) {
    replayer.tick();
    const xm::Position& p = replayer.position();
    TickState state{p.order, p.pattern, p.row, p.tick, p.speed, p.bpm, {}};
    for (int c = 0; c < module.channels; ++c) {
      const xm::ChannelReport r = replayer.report(c);
      const xm::Cell& cell =
          module.patterns[static_cast<std::size_t>(p.pattern)].at(p.row, c, module.channels);
      const auto at = static_cast<std::size_t>(c);
      if (p.tick == 0 && cell.instrument != 0) instrument[at] = cell.instrument;
      if (p.tick == 0 && cell.note != 0) released[at] = cell.note == xm::key_off;
      if (p.tick == 0 && cell.effect == 20) released[at] = true;  // Kxx
      state.channels.push_back(
          {r.frequency_hz, r.volume, r.panning, swing(module, cell, instrument[at]), released[at]});
    }
    trace.ticks.push_back(std::move(state));
    if (replayer.ended()) return trace;  // that tick was the song's last
  }
  trace.error = "no end within " + std::to_string(max_ticks) + " ticks";
  return trace;
}

Trace trace_libxmp(std::span<const std::uint8_t> file, std::size_t max_ticks) {
  Trace trace;
  xmp_context context = xmp_create_context();
  // libxmp's loader takes a mutable pointer but does not write through it.
  if (xmp_load_module_from_memory(context, const_cast<std::uint8_t*>(file.data()),
                                  static_cast<long>(file.size())) != 0) {
    xmp_free_context(context);
    return {"libxmp cannot load the module", {}};
  }
  xmp_module_info info;
  xmp_get_module_info(context, &info);
  xmp_start_player(context, 44100, 0);
  xmp_set_player(context, XMP_PLAYER_MODE, XMP_MODE_FT2);
  xmp_set_player(context, XMP_PLAYER_INTERP, XMP_INTERP_NEAREST);
  while (trace.ticks.size() < max_ticks && xmp_play_frame(context) == 0) {
    xmp_frame_info frame;
    xmp_get_frame_info(context, &frame);
    if (frame.loop_count > 0) break;
    TickState state{frame.pos, frame.pattern, frame.row, frame.frame, frame.speed, frame.bpm, {}};
    for (int c = 0; c < info.mod->chn; ++c) {
      const xmp_channel_info& ci = frame.channel_info[c];
      // libxmp's period is 4096ths of an Amiga period, 428 being 8363 Hz, on either table.
      const double hz = ci.period == 0 ? 0.0 : 8363.0 * 428.0 * 4096.0 / ci.period;
      state.channels.push_back({hz, ci.volume, ci.pan, false});
    }
    trace.ticks.push_back(std::move(state));
  }
  if (trace.ticks.size() >= max_ticks) {
    trace.error = "libxmp: no end within " + std::to_string(max_ticks) + " ticks";
  }
  xmp_end_player(context);
  xmp_release_module(context);
  xmp_free_context(context);
  return trace;
}
