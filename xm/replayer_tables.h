// FastTracker 2's tables and pitch formulas, shared by the replayer's files.
#pragma once

#include <array>
#include <cstdint>

namespace xm::tables {

// Periods: linear ones fall 64 a semitone from 7680 at C-0; Amiga ones are four times
// ProTracker's (C-4 is 1712). Both play 8363 Hz at C-4 with finetune 0.
constexpr int min_period = 1, max_period = 31999;
constexpr int highest_note = 118;  // 0-based notes after the relative note, A#9

// `note` 0-based (C-0 = 0) including the sample's relative note, clamped to 0..highest_note;
// `finetune` -128..127, used in sixteenths of a semitone as FastTracker 2 does.
int note_period(bool linear, int note, int finetune);
// The period a tone portamento glides to for `played` (0-based, C-0 = 0, relative note included),
// as FastTracker 2 reads its table: a little below C-0 and above A#9 too; -1 past the table.
int table_period(bool linear, int played, int finetune);
double period_frequency(bool linear, int period);
// The 0-based note an arpeggio counts from and a glissando rounds to: the highest one that
// begins, half a semitone below it, at a longer period than `period`.
int arpeggio_base(bool linear, int period, int finetune);
// An arpeggio's or glissando's note: as note_period, but never above a sixteenth of a semitone
// below C-8, which it plays from two sixteenths below on.
int arpeggio_period(bool linear, int note, int finetune);

// Vibrato and tremolo: a quarter sine in 32 steps of half a cycle, 0..255.
extern const std::array<std::uint8_t, 32> vibrato_sine;
// Auto-vibrato's full cycle in 256 steps, -64..64; it falls first, and is added to the period, so
// the pitch rises first.
extern const std::array<std::int8_t, 256> auto_vibrato_sine;

// Semitones arpeggio adds on `tick` (1..speed-1) of a row: 0 base, 1 the x, 2 the y nibble.
int arpeggio_step(int speed, int tick);

// Rxy's volume change for x: volume * mul / div + add (x = 6, two thirds, is worked otherwise).
struct RetrigVolume {
  int add, mul, div;
};
extern const std::array<RetrigVolume, 16> retrig_volume;

}  // namespace xm::tables
