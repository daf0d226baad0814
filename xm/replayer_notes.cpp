// Tick 0 of a row: notes, instruments, key offs and the volume column, with FastTracker 2's rules
// for what an instrument number, a note or both reset.
#include <algorithm>

#include "xm/replayer.h"
#include "xm/replayer_tables.h"

namespace xm {
namespace {

// FastTracker 2 fades from 32768, so an instrument's fadeout takes half the ticks the XM
// document's 65536 would.
constexpr int full_fadeout = 32768;

constexpr std::uint8_t fx_tone_porta = 0x3, fx_vibrato = 0x4, fx_tone_porta_slide = 0x5,
                       fx_vibrato_slide = 0x6, fx_offset = 0x9, fx_extended = 0xE, fx_key_off = 20,
                       fx_multi_retrig = 27;
constexpr int ext_finetune = 0x5, ext_retrig = 0x9, ext_note_delay = 0xD;

bool volume_tone_porta(const Cell& cell) { return (cell.volume >> 4) == 0xF; }

bool is_tone_porta(const Cell& cell) {
  return cell.effect == fx_tone_porta || cell.effect == fx_tone_porta_slide ||
         volume_tone_porta(cell);
}

}  // namespace

// What a number with no instrument behind it plays, and what a channel holds before its first
// note: nothing, and it fades as a blank instrument.
const Instrument& Replayer::blank_instrument() {
  static const Instrument blank = [] {
    Instrument in;
    in.keymap.fill(no_sample);
    in.fadeout = blank_fadeout;
    return in;
  }();
  return blank;
}

void Replayer::read_cell(Channel& c, const Cell& cell) {
  // An arpeggio on the last row, or a vibrato there that this row does not go on with, leaves
  // the plain period from tick 0 on; otherwise tick 0 plays what the last tick played.
  const auto is_vibrato = [](const Cell& x) {
    return x.effect == fx_vibrato || x.effect == fx_vibrato_slide;
  };
  if ((c.cell.effect == 0 && c.cell.param != 0) || (is_vibrato(c.cell) && !is_vibrato(cell))) {
    c.set_out_period(c.period);
  }
  c.cell = cell;
  const bool delayed = c.cell.effect == fx_extended && (c.cell.param >> 4) == ext_note_delay &&
                       (c.cell.param & 0xF) != 0;
  if (!delayed) {
    // E90 plays the row as if it held the last note again.
    Cell row = cell;
    if (row.effect == fx_extended && row.param == (ext_retrig << 4) && row.note == 0) {
      row.note = static_cast<std::uint8_t>(c.note);
    }
    start_cell(c, row, false);
  } else if (cell.instrument != 0) {
    c.instrument_number = cell.instrument;  // taken now, even if the delay never comes
  }
  effect_first(c, c.cell);
  // Multi retrig counts tick 0 too, but only where the volume column is empty or, as
  // FastTracker 2 has it, sets vibrato speed 0 or panning 0, or sets or finely slides the volume
  // to 0.
  if (c.cell.effect != fx_multi_retrig) return;
  const int command = cell.volume >> 4;
  const bool sets_volume = (command >= 0x1 && command <= 0x5) || command == 0x8 || command == 0x9;
  if (cell.volume == 0 || cell.volume == 0xA0 || cell.volume == 0xC0 ||
      (sets_volume && c.volume == 0)) {
    multi_retrig(c);
  }
}

// A note delay starts its cell late; with no note it plays the last note again.
void Replayer::start_cell(Channel& c, const Cell& cell, bool delayed) {
  int note = cell.note;
  // K00 eats the note, but not beside a tone portamento in the volume column, which takes it.
  if (cell.effect == fx_key_off && cell.param == 0 && !delayed && !volume_tone_porta(cell))
    note = key_off;
  if (delayed && note == key_off) {
    // A delayed key off cuts a note without a volume envelope, then starts the envelopes again
    // as if the key were pressed anew; the sample plays on.
    release(c);
    if (cell.instrument != 0) {
      c.instrument_number = cell.instrument;
      reset_volumes(c);
    }
    key_on(c);
    volume_column_first(c, cell.volume, true, cell.instrument != 0);
    return;
  }
  if (delayed && note == 0 && c.note != 0) note = c.note;
  if (cell.instrument != 0) c.instrument_number = cell.instrument;
  // E90 starts its note as a note with no glide, a tone portamento beside it or not; a tone
  // portamento in its volume column never takes its speed, whatever the note.
  const bool e90 = cell.effect == fx_extended && cell.param == (ext_retrig << 4);
  const bool retrig_now = e90 && note >= 1 && note <= note_count;
  bool started = true;

  if (note == key_off) {
    // The instrument's volume comes back after the key off, so no envelope means no cut.
    release(c);
    if (cell.instrument != 0) reset_volumes(c);
  } else if (note >= 1 && note <= note_count) {
    if (is_tone_porta(cell) && !delayed && !retrig_now) {
      // Tone portamento glides to the note on the playing sample without starting it; the note
      // last started stays the one a retrig starts again. One the playing sample's relative note
      // takes past the table leaves the glide as it was.
      const int target =
          tables::table_period(module_->linear_frequencies, note - 1 + c.relative, c.finetune);
      if (target >= 0) {
        c.target_period = target;
        c.porta_direction = target > c.period ? 1 : target < c.period ? -1 : 0;
      }
    } else {
      started = trigger(c, note);
    }
  }
  if (cell.instrument != 0 && note != key_off) {
    reset_volumes(c);
    key_on(c);
  } else if (delayed && ((note >= 1 && note <= note_count) || note == 0)) {
    // A delayed note starts its envelopes, with an instrument number or without; so does a
    // delay with no note on a channel that has had none to play again.
    key_on(c);
  }
  volume_column_first(c, e90 && volume_tone_porta(cell) ? 0 : cell.volume, delayed,
                      !delayed || cell.instrument != 0 || started);
}

bool Replayer::trigger(Channel& c, int note) {
  const int n = c.instrument_number;
  const Instrument* instrument = n >= 1 && n <= static_cast<int>(module_->instruments.size())
                                     ? &module_->instruments[static_cast<std::size_t>(n - 1)]
                                     : &blank_instrument();
  c.instrument = instrument;
  c.note = note;
  const Sample* sample = nullptr;
  const std::uint8_t s = instrument->keymap[static_cast<std::size_t>(note - 1)];
  if (s != no_sample && s < instrument->samples.size()) sample = &instrument->samples[s];
  // A keymap entry with no sample behind it is a blank sample: no relative note, no finetune.
  // A note that the relative note takes out of C-0..A#9 leaves the sound as it was (but the
  // relative note is the new sample's all the same); one a semitone below C-0 starts its sample
  // at the pitch playing.
  c.relative = sample != nullptr ? sample->relative_note : 0;
  const int played = note - 1 + c.relative;
  if (played < -1 || played > tables::highest_note) return false;
  c.finetune = sample != nullptr ? sample->finetune : 0;
  if (c.cell.effect == fx_extended && (c.cell.param >> 4) == ext_finetune) {
    c.finetune = ((c.cell.param & 0xF) << 4) - 128;
  }
  c.sample = sample;
  c.empty_slot = sample == nullptr && !instrument->samples.empty();
  c.voice.sample = sample;
  c.panning_set = true;
  // 9xx keeps its parameter only under a note that starts.
  std::uint32_t offset = 0;
  if (c.cell.effect == fx_offset) {
    if (c.cell.param != 0) c.sample_offset = c.cell.param;
    offset = static_cast<std::uint32_t>(c.sample_offset) * 256;
  }
  if (played >= 0) {
    c.set_period(period_of(c, note));
  } else {
    c.period_set = true;  // plays on at the period that sounds, vibrato and all
  }
  if (sample == nullptr) {
    // Nothing sounds, but the note still sets the pitch a later note may take up.
    c.playing = false;
    return true;
  }
  // FastTracker 2 stops a voice whose offset lies past the sample's end.
  c.playing = offset < sample->length;
  c.voice.trigger = true;
  c.voice.start_frame = offset;
  c.sample_pos = offset;
  return true;
}

// With no sample to play, an instrument number leaves the channel centred, at volume 0 for an
// instrument without samples and at full volume for a keymap entry naming a sample the instrument
// lacks (FastTracker 2 keeps an empty sample there), which a later note without a number plays.
void Replayer::reset_volumes(Channel& c) {
  c.set_volume(c.sample != nullptr ? c.sample->volume : c.empty_slot ? 64 : 0);
  c.set_panning(c.sample != nullptr ? c.sample->panning : 128);
}

// What an instrument number restarts: envelopes, fadeout, auto-vibrato, and the counts of
// vibrato, tremolo (unless E4x/E7x keep them), retrig and tremor. A note alone restarts none.
void Replayer::key_on(Channel& c) {
  c.key_off = false;
  if ((c.wave_control & 0x04) == 0) c.vibrato_pos = 0;
  if ((c.wave_control & 0x40) == 0) c.tremolo_pos = 0;
  c.retrig_count = 0;
  c.tremor_pos = 0;
  c.fadeout = full_fadeout;
  c.fadeout_speed = c.instrument->fadeout;
  restart_envelopes(c);
  // An instrument without auto-vibrato leaves the last one's where it was.
  if (c.instrument->vibrato_depth != 0) {
    const Instrument& ins = *c.instrument;
    c.auto_vibrato_pos = 0;
    if (ins.vibrato_sweep == 0) {
      c.auto_vibrato_amp = ins.vibrato_depth << 8;
      c.auto_vibrato_sweep = 0;
    } else {
      c.auto_vibrato_amp = 0;
      c.auto_vibrato_sweep = (ins.vibrato_depth << 8) / ins.vibrato_sweep;
    }
  }
}

// Without a volume envelope FastTracker 2 cuts the note at once.
void Replayer::release(Channel& c) {
  c.key_off = true;
  release_envelope(c);
  if (!c.instrument->volume_envelope.on) c.set_volume(0);
}

// A delayed cell's fine volume slides never play. A delayed cell without an instrument number
// whose note starts nothing (a key off, or a note the relative note takes out of range) takes its
// volume and panning unheard: they sound once something else sets them.
void Replayer::volume_column_first(Channel& c, std::uint8_t v, bool delayed, bool heard) {
  const bool volume_heard = c.volume_set, panning_heard = c.panning_set;
  const int x = v & 0xF;
  switch (v >> 4) {
    case 0x1:
    case 0x2:
    case 0x3:
    case 0x4:
      c.set_volume(v - 0x10);
      break;
    case 0x5:  // 0x51..0x5F would be more than 64: FastTracker 2 sets 64, but not after a delay
      if (v == 0x50 || !delayed) c.set_volume(64);
      break;
    case 0x8:
      if (!delayed) c.set_volume(std::max(0, c.volume - x));
      break;
    case 0x9:
      if (!delayed) c.set_volume(std::min(64, c.volume + x));
      break;
    case 0xA:
      if (x != 0 && !delayed) c.vibrato_speed = x * 4;
      break;
    case 0xC:
      c.set_panning(x << 4);
      break;
    case 0xF:
      if (x != 0 && !delayed) c.porta_speed = x << 4;
      break;
    default:
      break;
  }
  if (!heard) {
    c.volume_set = volume_heard;
    c.panning_set = panning_heard;
  }
}

void Replayer::volume_column_later(Channel& c, std::uint8_t v) {
  const int x = v & 0xF;
  switch (v >> 4) {
    case 0x6:
      c.set_volume(std::max(0, c.volume - x));
      break;
    case 0x7:
      c.set_volume(std::min(64, c.volume + x));
      break;
    case 0xB:
      if (x != 0) c.vibrato_depth = x;
      vibrato(c);
      break;
    case 0xD:
      // FastTracker 2 takes a slide left by 0 all the way to the left.
      c.set_panning(x == 0 ? 0 : std::max(0, c.panning - x));
      break;
    case 0xE:
      c.set_panning(std::min(255, c.panning + x));
      break;
    case 0xF:
      tone_portamento(c);
      break;
    default:
      break;
  }
}

}  // namespace xm
