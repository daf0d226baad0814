// The effect column: what tick 0 sets (memories, jumps, speed) and what the other ticks slide.
#include <algorithm>

#include "xm/replayer.h"
#include "xm/replayer_tables.h"

namespace xm {
namespace {

enum Effect : std::uint8_t {
  arpeggio = 0x0,
  porta_up = 0x1,
  porta_down = 0x2,
  tone_porta = 0x3,
  vibrato_fx = 0x4,
  tone_porta_slide = 0x5,
  vibrato_slide = 0x6,
  tremolo_fx = 0x7,
  set_panning = 0x8,
  volume_slide_fx = 0xA,
  position_jump = 0xB,
  set_volume = 0xC,
  pattern_break = 0xD,
  extended = 0xE,
  set_speed = 0xF,
  set_global_volume = 16,    // G
  global_volume_slide = 17,  // H
  key_off_at = 20,           // K
  envelope_position = 21,    // L
  panning_slide = 25,        // P
  multi_retrig_fx = 27,      // R
  tremor_fx = 29,            // T
  extra_fine_porta = 33,     // X
};

enum Extended : int {
  fine_porta_up = 0x1,
  fine_porta_down = 0x2,
  glissando_control = 0x3,
  vibrato_waveform = 0x4,
  pattern_loop = 0x6,
  tremolo_waveform = 0x7,
  retrig = 0x9,
  fine_volume_up = 0xA,
  fine_volume_down = 0xB,
  note_cut = 0xC,
  note_delay = 0xD,
  pattern_delay = 0xE,
};

// FastTracker 2 keeps the period in 16 bits and checks the slides' limits on it as a signed
// number, so a slide down past 32767 goes on unchecked, and one up from there stops at once.
int as_signed(int period) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(period)); }
int slide_up(int period, int amount) {
  const int p = period - amount;
  return as_signed(p) < tables::min_period ? tables::min_period : p & 0xFFFF;
}
int slide_down(int period, int amount) {
  const int p = period + amount;
  return as_signed(p) > tables::max_period ? tables::max_period : p & 0xFFFF;
}

// Axy, Hxy, Pxy: x slides up and wins over y, which slides down.
int nibble_slide(int value, int param, int top) {
  return (param >> 4) != 0 ? std::min(top, value + (param >> 4))
                           : std::max(0, value - (param & 0xF));
}

}  // namespace

void Replayer::effect_first(Channel& c, const Cell& cell) {
  const int p = cell.param, x = p >> 4, y = p & 0xF;
  switch (cell.effect) {
    case tone_porta:
      // Beside a tone portamento in the volume column, whose speed counts, the parameter is not
      // taken.
      if (p != 0 && (cell.volume >> 4) != 0xF) c.porta_speed = p;
      break;
    case set_panning:
      c.set_panning(p);
      break;
    case position_jump:
      // A jump past the order list goes to order 0, as the reproduction of FastTracker 2 that
      // this player is checked against has it (FastTracker 2 itself differs); a jump to order 0
      // holds against any later Bxx on the row, as the reference plays it.
      if (jump_order_ != 0) jump_order_ = p > static_cast<int>(module_->orders.size()) ? 0 : p;
      break_row_ = 0;
      position_jump_ = true;
      break;
    case set_volume:
      c.set_volume(std::min(p, 64));
      break;
    case pattern_break:
      break_row_ = x * 10 + y;
      position_jump_ = true;
      break;
    case extended:
      extended_first(c, cell);
      break;
    case set_speed:
      if (p < 32) {
        speed_ = p;
      } else {
        bpm_ = p;
      }
      break;
    case set_global_volume:
      global_volume_ = std::min(p, 64);
      global_changed_ = true;
      break;
    case envelope_position:
      // FastTracker 2 moves the panning envelope too only when the volume envelope has a sustain.
      move_envelopes(c, p, c.instrument->volume_envelope.sustain_on);
      break;
    case multi_retrig_fx:
      if (x != 0) c.retrig_volume = x;
      if (y != 0) c.retrig_interval = y;
      break;
    case extra_fine_porta:
      if (x == 1) {
        if (y != 0) c.extra_fine_up = y;
        c.set_period(slide_up(c.period, c.extra_fine_up));
      } else if (x == 2) {
        if (y != 0) c.extra_fine_down = y;
        c.set_period(slide_down(c.period, c.extra_fine_down));
      }
      break;
    default:
      break;
  }
}

void Replayer::extended_first(Channel& c, const Cell& cell) {
  const int y = cell.param & 0xF;
  switch (cell.param >> 4) {
    case fine_porta_up:
      if (y != 0) c.fine_porta_up = y;
      c.set_period(slide_up(c.period, c.fine_porta_up * 4));
      break;
    case fine_porta_down:
      if (y != 0) c.fine_porta_down = y;
      c.set_period(slide_down(c.period, c.fine_porta_down * 4));
      break;
    case glissando_control:
      c.glissando = y != 0;
      break;
    case vibrato_waveform:
      c.wave_control = (c.wave_control & 0xF0) | y;
      break;
    case pattern_loop:
      if (y == 0) {
        c.loop_row = row_;
      } else {
        if (c.loop_count == 0) {
          c.loop_count = y;
        } else if (--c.loop_count == 0) {
          break;
        }
        break_row_ = c.loop_row;
        loop_jump_ = true;
      }
      break;
    case tremolo_waveform:
      c.wave_control = (c.wave_control & 0x0F) | (y << 4);
      break;
    case fine_volume_up:
      if (y != 0) c.fine_volume_up = y;
      c.set_volume(std::min(64, c.volume + c.fine_volume_up));
      break;
    case fine_volume_down:
      if (y != 0) c.fine_volume_down = y;
      c.set_volume(std::max(0, c.volume - c.fine_volume_down));
      break;
    case note_cut:
      if (y == 0) c.set_volume(0);
      break;
    case pattern_delay:
      pattern_delay_ = y;
      break;
    default:
      break;
  }
}

// The slides, tremolo and tremor take their parameter memory only on the ticks they run, so a row
// at speed 1 leaves it as it was.
void Replayer::effect_later(Channel& c) {
  const Cell& cell = c.cell;
  const int p = cell.param, x = p >> 4, y = p & 0xF;
  volume_column_later(c, cell.volume);
  switch (cell.effect) {
    case arpeggio:
      if (p != 0) {
        const int step = tables::arpeggio_step(speed_, tick_);
        if (step != 0) {
          const bool linear = module_->linear_frequencies;
          const int base = tables::arpeggio_base(linear, c.period, c.finetune);
          c.set_out_period(tables::arpeggio_period(linear, base + (step == 1 ? x : y), c.finetune));
        } else {
          c.set_out_period(c.period);
        }
      }
      break;
    case porta_up:
      if (p != 0) c.porta_up = p;
      c.set_period(slide_up(c.period, c.porta_up * 4));
      break;
    case porta_down:
      if (p != 0) c.porta_down = p;
      c.set_period(slide_down(c.period, c.porta_down * 4));
      break;
    case tone_porta:
      tone_portamento(c);
      break;
    case vibrato_fx:
      // Its speed and depth are taken on each tick it runs, after the volume column's vibrato,
      // which runs first with what was there.
      if (x != 0) c.vibrato_speed = x * 4;
      if (y != 0) c.vibrato_depth = y;
      vibrato(c);
      break;
    case tone_porta_slide:
      tone_portamento(c);
      volume_slide(c, p);
      break;
    case vibrato_slide:
      vibrato(c);
      volume_slide(c, p);
      break;
    case tremolo_fx:
      if (x != 0) c.tremolo_speed = x * 4;
      if (y != 0) c.tremolo_depth = y;
      tremolo(c);
      break;
    case volume_slide_fx:
      volume_slide(c, p);
      break;
    case extended:
      // E9x starts the last note again as a note with an instrument number does: the sample the
      // instrument gives it, envelopes, fadeout and auto-vibrato too, and a key off is undone;
      // before any note, all but the note.
      if (x == retrig && y != 0 && tick_ % y == 0) {
        if (c.note != 0) trigger(c, c.note);
        key_on(c);
      }
      if (x == note_cut && tick_ == y) c.set_volume(0);
      if (x == note_delay && tick_ == y) start_cell(c, cell, true);
      break;
    case global_volume_slide:
      if (p != 0) c.global_slide = p;
      global_volume_ = nibble_slide(global_volume_, c.global_slide, 64);
      global_changed_ = true;
      break;
    case key_off_at:
      // Only the parameter's low five bits count.
      if (tick_ == (p & 0x1F)) release(c);
      break;
    case panning_slide:
      if (p != 0) c.panning_slide = p;
      c.set_panning(nibble_slide(c.panning, c.panning_slide, 255));
      break;
    case multi_retrig_fx:
      multi_retrig(c);
      break;
    case tremor_fx: {
      if (p != 0) c.tremor = p;
      // On for x + 1 ticks, off for y + 1, counting on across rows.
      bool on = (c.tremor_pos & 0x80) != 0;
      int left = (c.tremor_pos & 0x7F) - 1;
      if (left < 0) {
        on = !on;
        left = on ? c.tremor >> 4 : c.tremor & 0xF;
      }
      c.tremor_pos = (on ? 0x80 : 0) | left;
      c.set_out_volume(on ? c.volume : 0);
      break;
    }
    default:
      break;
  }
}

void Replayer::volume_slide(Channel& c, int param) {
  if (param != 0) c.volume_slide = param;
  c.set_volume(nibble_slide(c.volume, c.volume_slide, 64));
}

void Replayer::tone_portamento(Channel& c) {
  const int speed = c.porta_speed * 4;
  // Only a note given with tone portamento sets where it goes (a plain note does not), and which
  // way, from the period playing then; it goes that way and stops at the target, so a period on
  // the far side of it goes straight to it. Once there, FastTracker 2 counts the glide as one to
  // longer periods, whichever way it went. With no way set, it leaves even a vibrato's pitch.
  // A period a slide took past 32767 lands on the target at once, whichever the way: FastTracker 2
  // compares the 16-bit periods as unsigned going to longer periods, as signed going to shorter.
  if (c.porta_direction == 0) return;
  if (c.porta_direction > 0) {
    c.period += speed;
    if ((c.period & 0xFFFF) >= c.target_period) c.period = c.target_period;
  } else {
    c.period -= speed;
    if (as_signed(c.period) <= as_signed(c.target_period)) c.period = c.target_period;
  }
  if (c.period == c.target_period) c.porta_direction = 1;
  if (c.glissando) {
    const bool linear = module_->linear_frequencies;
    c.set_out_period(tables::arpeggio_period(
        linear, tables::arpeggio_base(linear, c.period, c.finetune), c.finetune));
  } else {
    c.set_out_period(c.period);
  }
}

namespace {

// The size of a vibrato's or tremolo's swing at `pos` (0..255 a cycle) for waveform `wave` (0 sine,
// 1 ramp, 2 and 3 square), 0..255; the ramp's direction follows `ramp_pos`.
int swing_at(int pos, int wave, int ramp_pos) {
  const int step = (pos >> 2) & 0x1F;
  switch (wave & 3) {
    case 0:
      return tables::vibrato_sine[static_cast<std::size_t>(step)];
    case 1:
      return ramp_pos >= 128 ? 255 - step * 8 : step * 8;
    default:
      return 255;
  }
}

}  // namespace

// Positions run 0..255 a cycle; the second half goes the other way.
void Replayer::vibrato(Channel& c) {
  const int delta = swing_at(c.vibrato_pos, c.wave_control, c.vibrato_pos) * c.vibrato_depth / 32;
  c.set_out_period(c.vibrato_pos >= 128 ? c.period - delta : c.period + delta);
  c.vibrato_pos = (c.vibrato_pos + c.vibrato_speed) & 0xFF;
}

// The ramp reads the vibrato's position for its direction, as FastTracker 2 does.
void Replayer::tremolo(Channel& c) {
  const int delta =
      swing_at(c.tremolo_pos, c.wave_control >> 4, c.vibrato_pos) * c.tremolo_depth / 64;
  c.set_out_volume(std::clamp(c.tremolo_pos >= 128 ? c.volume - delta : c.volume + delta, 0, 64));
  c.tremolo_pos = (c.tremolo_pos + c.tremolo_speed) & 0xFF;
}

// Every y ticks, the volume changed by x's entry of the table.
void Replayer::multi_retrig(Channel& c) {
  if (++c.retrig_count < c.retrig_interval) return;
  c.retrig_count = 0;
  const tables::RetrigVolume& change =
      tables::retrig_volume[static_cast<std::size_t>(c.retrig_volume)];
  // Two thirds is FastTracker 2's sum of shifts, a half, an eighth and a sixteenth.
  const int volume = c.retrig_volume == 6 ? (c.volume >> 1) + (c.volume >> 3) + (c.volume >> 4)
                                          : c.volume * change.mul / change.div + change.add;
  // The voice hears the new volume only when the retrigger starts the note again: after a note
  // out of range, nothing starts and the volume it plays stays as it was.
  c.volume = c.out_volume = std::clamp(volume, 0, 64);
  // The row's volume column, when it sets volume or panning, has the last word; the bytes past
  // volume 64, which set 64 on tick 0, leave the retrigger's volume alone.
  const std::uint8_t v = c.cell.volume;
  if (v >= 0x10 && v <= 0x50) c.set_volume(v - 0x10);
  if ((v >> 4) == 0xC) c.set_panning((v & 0xF) << 4);
  // The last note starts again on the sample the last instrument number gives it, as a note
  // without a number would; envelopes go on.
  if (c.note != 0) trigger(c, c.note);
}

}  // namespace xm
