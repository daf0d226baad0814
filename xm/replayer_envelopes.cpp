// After each tick: envelopes, fadeout and auto-vibrato, and the voice the mixer plays.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "xm/replayer.h"
#include "xm/replayer_tables.h"

namespace xm {
namespace {

// Envelope values are in 1/256 steps: between two points the value moves by the difference over
// the ticks between them, that step rounded toward zero, as FastTracker 2 keeps it.
constexpr int envelope_one = 256;
// No point counts above these; a value going on by its step stops at 64 in either envelope (see
// run_envelope), and the volume is heard no louder.
constexpr int volume_top = 64, panning_top = 63, running_top = 64;

int point_tick(const Envelope& e, int i) { return e.points[static_cast<std::size_t>(i)].tick; }

// A key off puts the time back to a point's tick, which FastTracker 2 keeps one less in 16 bits:
// back to tick 0 is a time past any point until the envelope runs on (and comes round to 0).
int back_to(int tick) { return tick == 0 ? 0x10000 : tick; }

// An instrument without samples (and a number naming none) keeps FastTracker 2's panning envelope
// for a new instrument, switched off; only its points' ticks ever count, at a key off.
constexpr std::array<int, max_envelope_points> blank_panning_ticks = {0,  10, 30,  50,  60,  70,
                                                                      80, 90, 100, 110, 120, 130};
int point_value(const Envelope& e, int i, int top) {
  return std::min<int>(e.points[static_cast<std::size_t>(i)].value, top) * envelope_one;
}

// The envelope reaches point `i`: its value, and the step toward the next. The last point has
// no step and stays the next point to reach, long past, which an envelope switched without a new
// note takes on; such a switch may leave the next point among the unused ones, which count as
// (tick 0, value 0) as FastTracker 2 keeps them, and are reached as any other.
template <typename State>
void enter_point(const Envelope& e, State& s, int i, int top) {
  s.value = point_value(e, i, top);
  s.step = i + 1 < e.count
               ? (point_value(e, i + 1, top) - s.value) / (point_tick(e, i + 1) - point_tick(e, i))
               : 0;
  s.next = i + 1 < e.count ? i + 1 : i;
}

// This tick's value, as FastTracker 2 runs an envelope: reaching a point takes its value and the
// step toward the next; between points the value goes on by its step; a held key rests on the
// sustain point with no step while the time runs on past it (a key off puts the time back on the
// point, see `release_envelope`, and it goes on from there); the tick that reaches the loop's end
// takes its start instead, time and all (so a sustain point on the loop's end never holds, and
// once the key is off that loop is over). Value and step outlast a new note, whose envelope
// starts again at tick 0: until the first point's tick the value goes on as it went, and an
// envelope switched without a new note goes on from where the old one was (its time and next
// point too, even at the old loop's end).
template <typename State>
int run_envelope(const Envelope& e, State& s, bool key_off, int top) {
  s.tick &= 0xFFFF;  // FastTracker 2 counts the time in 16 bits
  if (s.next < max_envelope_points && s.tick == point_tick(e, s.next)) {
    // A loop whose end is the sustain point ends with the key: the envelope goes on past it.
    const bool released_here = key_off && e.sustain_on && e.sustain == e.loop_end;
    if (e.loop_on && s.next == e.loop_end && !released_here) {
      s.tick = point_tick(e, e.loop_start);
      s.next = e.loop_start;
    }
    const int point = s.next;
    enter_point(e, s, point, top);
    if (e.sustain_on && !key_off && point == e.sustain) {
      s.next = e.sustain;
      s.step = 0;
      ++s.tick;
      return s.value;
    }
  } else {
    // Once its whole part is past 64 (so it may run up to a 256th short of 65 first), or it is
    // below 0, FastTracker 2 stops the value at 64 or 0 until the next point.
    s.value += s.step;
    if (s.value < 0 || s.value >= (running_top + 1) * envelope_one) {
      s.value = std::clamp(s.value, 0, running_top * envelope_one);
      s.step = 0;
    }
  }
  ++s.tick;
  return s.value;
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

// An unlooped sample ends once this tick starts past its last frame, as FastTracker 2 counts its
// frames: at 44,000 Hz, in whole frames a tick and a step of 16.16 fixed point. At 44,100 Hz a
// long note at 150 BPM would end a tick early (735 frames a tick against 733 at 44,000, which is
// 734 2/3 at 44,100). The channel's report follows that, whatever rate the song is rendered at.
constexpr int reference_rate = 44000;

// The step, in 65536ths of a frame, as FastTracker 2 works it out in single precision: a linear
// period's frequency is rounded to a float first; an Amiga period divides 8363 x 1712 x 65536 /
// 44,000 as a float, 21,325,200 where the exact value is 21,325,199.92. Either puts some pitches a
// 65536th off the exact step, so their samples end a tick sooner or later now and then.
std::uint32_t sample_step(bool linear, int period, double frequency_hz) {
  if (frequency_hz <= 0) return 0;
  if (linear) {
    // Through memory, so that a build on the x87 rounds it too rather than keep it wider.
    const volatile float single = static_cast<float>(frequency_hz);
    return static_cast<std::uint32_t>(single * 65536.0 / reference_rate);
  }
  constexpr std::uint32_t amiga_dividend = 21325200;
  return amiga_dividend /
         static_cast<std::uint32_t>(period < tables::min_period ? period & 0xFFFF : period);
}

}  // namespace

// An instrument number restarts, at tick 0 and the first point, the envelopes that the instrument
// playing has on; the others are left as they are.
void Replayer::restart_envelopes(Channel& c) {
  if (c.instrument->volume_envelope.on) c.volume_envelope.tick = c.volume_envelope.next = 0;
  if (c.instrument->panning_envelope.on) c.panning_envelope.tick = c.panning_envelope.next = 0;
}
// A key off lets the volume envelope's sustain point go: time that ran on past the next point
// goes back to it, which the next tick reaches again (an unused point past the envelope's end is
// at tick 0, value 0, and cuts the sound so). FastTracker 2 never does this
// for the panning envelope, so one resting on its sustain point stays there.
void Replayer::release_envelope(Channel& c) {
  if (c.instrument->volume_envelope.on) {
    const Envelope& e = c.instrument->volume_envelope;
    EnvelopeState& s = c.volume_envelope;
    const int tick = point_tick(e, std::min(s.next, max_envelope_points - 1));
    if (s.tick > tick) s.tick = back_to(tick);
  }
  // It does so for the panning envelope's time only where the instrument has that envelope off,
  // by that envelope's points, so that a panning envelope never played starts at its first point
  // when an instrument with one takes the channel over.
  if (!c.instrument->panning_envelope.on) {
    EnvelopeState& s = c.panning_envelope;
    const int i = std::min(s.next, max_envelope_points - 1);
    const int tick = c.instrument->samples.empty()
                         ? blank_panning_ticks[static_cast<std::size_t>(i)]
                         : point_tick(c.instrument->panning_envelope, i);
    if (s.tick > tick) s.tick = back_to(tick);
  }
}

// Lxx puts the envelopes at `tick`, so that this tick plays the value the line between points
// gives there (before the first point, the line from it to the second): the volume envelope only
// where the instrument has it on, the panning envelope where the caller says, on or off.
void Replayer::move_envelopes(Channel& c, int tick, bool panning_too) {
  const auto move = [tick](const Envelope& e, EnvelopeState& s, int top) {
    s.tick = tick;
    if (e.count < 2) {  // no line at all: the first point's value (0 with none), held
      s.value = point_value(e, 0, top);
      s.step = 0;
      s.next = 0;
      return;
    }
    int i = 0;
    while (i < e.count && point_tick(e, i) < tick) ++i;
    s.next = i;
    if (i < e.count && point_tick(e, i) == tick) return;  // reached as it runs
    if (i == 0) i = 1;  // before the first point: on the line to the second, drawn back
    enter_point(e, s, i - 1, top);
    // FastTracker 2 keeps the value in 16 bits: one that comes out at 65 or more holds at 64
    // until the next point, or at 0 past 160, where it is nearer 256 (a line drawn back below 0
    // comes out high so); one short of 65 goes on by its step.
    const int shown = (s.value + s.step * (tick - point_tick(e, i - 1))) & 0xFFFF;
    s.value = shown - s.step;
    if (shown >= (running_top + 1) * envelope_one) {
      s.value = shown <= 160 * envelope_one ? running_top * envelope_one : 0;
      s.step = 0;
    }
  };
  if (c.instrument->volume_envelope.on)
    move(c.instrument->volume_envelope, c.volume_envelope, volume_top);
  if (panning_too) move(c.instrument->panning_envelope, c.panning_envelope, panning_top);
}

void Replayer::finish_tick(Channel& c) {
  const Instrument* ins = c.instrument;
  int envelope_volume = 64 * envelope_one, envelope_panning = 32 * envelope_one;
  int period = c.out_period;
  const bool volume_envelope = ins->volume_envelope.on && ins->volume_envelope.count > 0;
  if (volume_envelope) {
    envelope_volume =
        std::clamp(run_envelope(ins->volume_envelope, c.volume_envelope, c.key_off, volume_top), 0,
                   running_top * envelope_one);
  }
  // Fadeout runs after a key off with or without a volume envelope: without one the key off
  // has cut the note, but a volume or an instrument given with it sounds and fades.
  if (c.key_off) {
    c.fadeout = std::max(0, c.fadeout - c.fadeout_speed);
    c.volume_set = true;
  }
  if (ins->panning_envelope.on) c.panning_set = true;
  if (ins->panning_envelope.on && ins->panning_envelope.count > 0) {
    // The panning envelope's top is 63, a step right of its last.
    envelope_panning =
        run_envelope(ins->panning_envelope, c.panning_envelope, c.key_off, panning_top);
  }
  if (ins->vibrato_depth != 0) {
    // The sweep may overshoot the depth by up to one step before it settles on it. A key off
    // during the sweep plays a single step but keeps the depth reached, which a later note
    // without an instrument number sweeps on from, as FastTracker 2 does.
    int amp = c.auto_vibrato_amp;
    if (c.auto_vibrato_sweep != 0 && c.key_off) {
      amp = c.auto_vibrato_sweep;
    } else if (c.auto_vibrato_sweep != 0) {
      c.auto_vibrato_amp += c.auto_vibrato_sweep;
      if ((c.auto_vibrato_amp >> 8) > ins->vibrato_depth) {
        c.auto_vibrato_amp = ins->vibrato_depth << 8;
        c.auto_vibrato_sweep = 0;
      }
      amp = c.auto_vibrato_amp;
    }
    // The position moves before it is read, so a note's first tick is already one step in.
    c.auto_vibrato_pos = (c.auto_vibrato_pos + ins->vibrato_rate) & 0xFF;
    period += auto_vibrato_wave(ins->vibrato_type, c.auto_vibrato_pos) * amp >> 14;
    c.period_set = true;
  }
  const int volume = c.out_volume;
  Voice& v = c.voice;
  if (c.period_set) {
    // Auto-vibrato taking the period out of the slides' range leaves the voice silent.
    const bool past_limit =
        ins->vibrato_depth != 0 && (period < tables::min_period || period > tables::max_period);
    // A note a semitone below C-0 on a channel that never had a pitch plays nothing.
    v.frequency_hz = c.sample != nullptr && !past_limit && period != 0
                         ? tables::period_frequency(module_->linear_frequencies, period)
                         : 0;
    c.sample_step = sample_step(module_->linear_frequencies, period, v.frequency_hz);
    c.period_set = false;
  }
  c.unscaled_volume =
      volume / 64.0 * (envelope_volume / (64.0 * envelope_one)) * (c.fadeout / 32768.0);
  c.global_volume = global_volume_;
  if (c.voice.trigger || ins->volume_envelope.on) c.volume_set = true;
  if (c.panning_set) {
    const int swing = 128 - std::abs(c.panning - 128);
    // The envelope swings the panning as far as the nearer side allows, rounding down; all the
    // way right is 256, which FastTracker 2 keeps in a byte as 0.
    v.panning = (c.panning + ((envelope_panning - 32 * envelope_one) * swing >> 13)) & 255;
    c.panning_set = false;
  }
}

// FastTracker 2 works a voice's volume out again only on a tick that set the channel's volume or
// changed the global volume; otherwise the voice keeps the volume it had, even under a new global
// volume. The global volume is the one the channel met as it was played.
void Replayer::finish_volume(Channel& c, bool global_changed) {
  if (c.volume_set || global_changed) c.voice.volume = c.unscaled_volume * (c.global_volume / 64.0);
  c.volume_set = false;
}

void Replayer::advance_sample(Channel& c) {
  if (!c.playing || c.sample->loop != LoopType::none) return;
  if (c.sample_pos >= c.sample->length) {
    c.playing = false;
  } else {
    c.sample_pos += c.sample_step / 65536.0 * frames_per_tick(bpm_, reference_rate);
  }
}

}  // namespace xm
