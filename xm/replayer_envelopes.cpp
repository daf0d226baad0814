// After each tick: envelopes, fadeout and auto-vibrato, and the voice the mixer plays.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "xm/replayer.h"
#include "xm/replayer_tables.h"

namespace xm {
namespace {

// Envelope values are in 1/256 steps: between two points the value moves by the difference over
// the ticks between them, that step rounded toward zero, as FastTracker 2 keeps it.
constexpr int envelope_one = 256;

// The envelope's value at `tick`, straight lines between points, the last point's value after;
// no point counts above `top`. `step` becomes the line's step a tick (0 past the last point).
int envelope_value(const Envelope& e, int tick, int top, int& step) {
  const auto value = [&](int i) {
    return std::min<int>(e.points[static_cast<std::size_t>(i)].value, top) * envelope_one;
  };
  const auto at = [&](int i) { return int{e.points[static_cast<std::size_t>(i)].tick}; };
  for (int i = 0; i + 1 < e.count; ++i) {
    if (tick < at(i + 1)) {
      step = (value(i + 1) - value(i)) / (at(i + 1) - at(i));
      return value(i) + step * (std::max(tick, at(i)) - at(i));
    }
  }
  step = 0;
  return value(e.count - 1);
}

// Gives this tick's value, then moves on: a held key rests on the sustain point; reaching the
// loop's end goes back to its start, even when the sustain point is the loop's end. Before the
// first point's tick (a new note whose envelope starts late) the value goes on by the step it
// last had, as FastTracker 2 keeps value and step from note to note.
template <typename State>
int run_envelope(const Envelope& e, State& s, bool key_off, int top) {
  if (s.tick >= e.points[0].tick) {
    s.value = envelope_value(e, s.tick, top, s.step);
  } else {
    s.value = std::clamp(s.value + s.step, 0, top * envelope_one);
  }
  const int value = s.value;
  if (e.sustain_on && !key_off && s.tick == e.points[e.sustain].tick) return value;
  ++s.tick;
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
  int envelope_volume = 64 * envelope_one, envelope_panning = 32 * envelope_one;
  int period = c.out_period >= 0 ? c.out_period : c.period;
  if (ins != nullptr) {
    const bool volume_envelope = ins->volume_envelope.on && ins->volume_envelope.count > 0;
    if (volume_envelope) {
      envelope_volume = run_envelope(ins->volume_envelope, c.volume_envelope, c.key_off, 64);
    }
    // Fadeout runs after a key off with or without a volume envelope: without one the key off
    // has cut the note, but a volume or an instrument given with it sounds and fades.
    if (c.key_off) {
      c.fadeout = std::max(0, c.fadeout - ins->fadeout);
      c.volume_set = true;
    }
    if (ins->panning_envelope.on && ins->panning_envelope.count > 0) {
      // The panning envelope's top is 63, a step right of its last.
      envelope_panning = run_envelope(ins->panning_envelope, c.panning_envelope, c.key_off, 63);
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
  const int volume = c.out_volume >= 0 ? c.out_volume : (c.tremor_muted ? 0 : c.volume);
  c.held_period = c.out_period >= 0 ? c.out_period : c.period;
  c.held_volume = volume;
  Voice& v = c.voice;
  v.frequency_hz = c.sample != nullptr
                       ? tables::period_frequency(module_->linear_frequencies,
                                                  std::max(tables::min_period, period))
                       : 0;
  c.unscaled_volume =
      volume / 64.0 * (envelope_volume / (64.0 * envelope_one)) * (c.fadeout / 32768.0);
  c.global_volume = global_volume_;
  if (c.voice.trigger || (ins != nullptr && ins->volume_envelope.on)) c.volume_set = true;
  const int swing = 128 - std::abs(c.panning - 128);
  // The envelope swings the panning as far as the nearer side allows, rounding down.
  v.panning =
      std::clamp(c.panning + ((envelope_panning - 32 * envelope_one) * swing >> 13), 0, 255);
  c.out_period = -1;
  c.out_volume = -1;
}

// FastTracker 2 works a voice's volume out again only on a tick that set the channel's volume or
// changed the global volume; otherwise the voice keeps the volume it had, even under a new global
// volume. The global volume is the one the channel met as it was played.
void Replayer::finish_volume(Channel& c, bool global_changed) {
  if (c.volume_set || global_changed) c.voice.volume = c.unscaled_volume * (c.global_volume / 64.0);
  c.volume_set = false;
}

// An unlooped sample ends once this tick starts past its last frame, as FastTracker 2's mixer
// plays it at 44,100 Hz in whole frames a tick; the channel's report follows that, whatever
// rate the song is rendered at.
constexpr int reference_rate = 44100;

void Replayer::advance_sample(Channel& c) {
  if (!c.playing || c.sample->loop != LoopType::none) return;
  if (c.sample_pos >= c.sample->length) {
    c.playing = false;
  } else {
    const double step = std::floor(c.voice.frequency_hz / reference_rate * 65536) / 65536;
    c.sample_pos += step * frames_per_tick(bpm_, reference_rate);
  }
}

}  // namespace xm
