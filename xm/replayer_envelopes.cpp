// After each tick: envelopes, fadeout and auto-vibrato, and the voice the mixer plays.
#include <algorithm>
#include <cstdlib>

#include "xm/replayer.h"
#include "xm/replayer_tables.h"

namespace xm {
namespace {

// The envelope's value at `tick`: straight lines between points, the last point's value after.
// Whole steps only, the fraction dropped, as FastTracker 2 uses them for volume and panning.
int envelope_value(const Envelope& e, int tick) {
  const auto point = [&](int i) { return e.points[static_cast<std::size_t>(i)]; };
  if (tick <= point(0).tick) return point(0).value;
  for (int i = 0; i + 1 < e.count; ++i) {
    const EnvelopePoint a = point(i), b = point(i + 1);
    if (tick < b.tick) {
      return a.value + (b.value - a.value) * (tick - a.tick) / (b.tick - a.tick);
    }
  }
  return point(e.count - 1).value;
}

// Gives this tick's value, then moves on: a held key rests on the sustain point; reaching the
// loop's end goes back to its start.
template <typename State>
int run_envelope(const Envelope& e, State& s, bool key_off) {
  const int value = envelope_value(e, s.tick);
  const int sustain_tick = e.points[e.sustain].tick;
  if (e.sustain_on && !key_off && s.tick == sustain_tick) return value;
  ++s.tick;
  if (e.sustain_on && !key_off && s.tick == sustain_tick) return value;
  if (e.loop_on && s.tick == e.points[e.loop_end].tick) s.tick = e.points[e.loop_start].tick;
  return value;
}

// Auto-vibrato's waves by the instrument's type, added to the period: sine and square raise the
// pitch first; type 2 lowers it along a ramp, type 3 raises it.
int auto_vibrato_wave(int type, int pos) {
  switch (type) {
    case 1:
      return pos > 127 ? 64 : -64;
    case 2:
      return ((64 + (pos >> 1)) & 127) - 64;
    case 3:
      return ((64 - (pos >> 1)) & 127) - 64;
    default:
      return tables::auto_vibrato_sine[static_cast<std::size_t>(pos)];
  }
}

}  // namespace

void Replayer::finish_tick(Channel& c) {
  const Instrument* ins = c.instrument;
  int envelope_volume = 64, envelope_panning = 32;
  int period = c.out_period >= 0 ? c.out_period : c.period;
  if (ins != nullptr) {
    const bool volume_envelope = ins->volume_envelope.on && ins->volume_envelope.count > 0;
    if (volume_envelope) {
      envelope_volume = run_envelope(ins->volume_envelope, c.volume_envelope, c.key_off);
      // Fadeout runs only under a volume envelope; without one a key off has cut the note.
      if (c.key_off) c.fadeout = std::max(0, c.fadeout - ins->fadeout);
    }
    if (ins->panning_envelope.on && ins->panning_envelope.count > 0) {
      envelope_panning = run_envelope(ins->panning_envelope, c.panning_envelope, c.key_off);
    }
    if (ins->vibrato_depth != 0) {
      // The sweep may overshoot the depth by up to one step before it settles on it.
      if (c.auto_vibrato_sweep != 0 && !c.key_off) {
        c.auto_vibrato_amp += c.auto_vibrato_sweep;
        if ((c.auto_vibrato_amp >> 8) > ins->vibrato_depth) {
          c.auto_vibrato_amp = ins->vibrato_depth << 8;
          c.auto_vibrato_sweep = 0;
        }
      }
      // The position moves before it is read, so a note's first tick is already one step in.
      c.auto_vibrato_pos = (c.auto_vibrato_pos + ins->vibrato_rate) & 0xFF;
      period += auto_vibrato_wave(ins->vibrato_type, c.auto_vibrato_pos) * c.auto_vibrato_amp >> 14;
    }
  }
  if (c.voice.trigger || c.volume != c.tremor_muted) c.tremor_muted = -1;
  const int volume = c.out_volume >= 0 ? c.out_volume : (c.tremor_muted >= 0 ? 0 : c.volume);
  c.held_period = c.out_period >= 0 ? c.out_period : c.period;
  c.held_volume = volume;
  Voice& v = c.voice;
  v.frequency_hz = c.sample != nullptr
                       ? tables::period_frequency(module_->linear_frequencies,
                                                  std::max(tables::min_period, period))
                       : 0;
  v.volume =
      volume / 64.0 * (envelope_volume / 64.0) * (c.fadeout / 32768.0) * (global_volume_ / 64.0);
  const int swing = 128 - std::abs(c.panning - 128);
  v.panning = std::clamp(c.panning + (envelope_panning - 32) * swing / 32, 0, 255);
  // An unlooped sample ends once this tick starts past its last frame (as the mixer plays it, up
  // to rounding of the tick's length).
  if (c.playing && c.sample->loop == LoopType::none) {
    if (c.sample_pos >= c.sample->length) {
      c.playing = false;
    } else {
      c.sample_pos += v.frequency_hz * 2.5 / bpm_;
    }
  }
  c.out_period = -1;
  c.out_volume = -1;
}

}  // namespace xm
