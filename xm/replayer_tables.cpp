#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "xm/replayer_tables.h"

namespace xm::tables {
namespace {

// ProTracker's periods (before the factor of four), eight finetune steps a semitone, from B one
// octave down (finetune 0) to A# with finetune +7/8: entry 8k + j is semitone k - 1 at j/8.
constexpr std::array<int, 96> amiga_periods = {
    907, 900, 894, 887, 881, 875, 868, 862, 856, 850, 844, 838, 832, 826, 820, 814,
    808, 802, 796, 791, 785, 779, 774, 768, 762, 757, 752, 746, 741, 736, 730, 725,
    720, 715, 709, 704, 699, 694, 689, 684, 678, 675, 670, 665, 660, 655, 651, 646,
    640, 636, 632, 628, 623, 619, 614, 610, 604, 601, 597, 592, 588, 584, 580, 575,
    570, 567, 563, 559, 555, 551, 547, 543, 538, 535, 532, 528, 524, 520, 516, 513,
    508, 505, 502, 498, 494, 491, 487, 484, 480, 477, 474, 470, 467, 463, 460, 457};

// Twice the ProTracker period of entry i, reaching one octave up past the table's end.
int doubled_amiga_period(int i) {
  return i < 96 ? amiga_periods[static_cast<std::size_t>(i)] * 2
                : amiga_periods[static_cast<std::size_t>(i - 96)];
}

constexpr double pi = 3.14159265358979323846;

// A sine by its series, so the table is built at compile time and the same everywhere.
constexpr double series_sine(double x) {
  while (x > pi) x -= 2 * pi;
  double term = x, sum = x;
  for (int n = 1; n < 20; ++n) {
    term *= -x * x / ((2 * n) * (2 * n + 1));
    sum += term;
  }
  return sum;
}

constexpr std::array<std::int8_t, 256> make_auto_vibrato_sine() {
  std::array<std::int8_t, 256> t{};
  for (int i = 0; i < 256; ++i) {
    const double v = -64.0 * series_sine(2 * pi * i / 256.0);
    t[static_cast<std::size_t>(i)] =
        static_cast<std::int8_t>(v < 0 ? -static_cast<int>(-v + 0.5) : static_cast<int>(v + 0.5));
  }
  return t;
}

}  // namespace

const std::array<std::uint8_t, 32> vibrato_sine = {
    0,   24,  49,  74,  97,  120, 141, 161, 180, 197, 212, 224, 235, 244, 250, 253,
    255, 253, 250, 244, 235, 224, 212, 197, 180, 161, 141, 120, 97,  74,  49,  24};

const std::array<std::int8_t, 256> auto_vibrato_sine = make_auto_vibrato_sine();

// Halving and doubling (6, 7, E, F) multiply; the others add.
const std::array<RetrigVolume, 16> retrig_volume = {{{0, 1, 1},
                                                     {-1, 1, 1},
                                                     {-2, 1, 1},
                                                     {-4, 1, 1},
                                                     {-8, 1, 1},
                                                     {-16, 1, 1},
                                                     {0, 2, 3},
                                                     {0, 1, 2},
                                                     {0, 1, 1},
                                                     {1, 1, 1},
                                                     {2, 1, 1},
                                                     {4, 1, 1},
                                                     {8, 1, 1},
                                                     {16, 1, 1},
                                                     {0, 3, 2},
                                                     {0, 2, 1}}};

namespace {

// Finetune in sixteenths of a semitone, -16..15, rounded down.
int sixteenths_of(int finetune) { return (finetune + 128) / 8 - 16; }

// FastTracker 2 looks periods up by note * 16 + sixteenths + 16 in a table of 1936; on the Amiga
// table the last sixteenth of A#9 and all past it read what lies after the table's end.
constexpr int table_entries = 1936, amiga_end = 1919;
constexpr std::array<int, table_entries - amiga_end> past_amiga_end = {
    22, 16, 8, 0, 16, 32, 24, 16, 8, 0, 16, 32, 24, 16, 8, 0, 0};

int period_at(bool linear, int note, int sixteenths) {
  if (linear) return 7680 - note * 64 - sixteenths * 4;
  const int index = note * 16 + sixteenths + 16;
  if (index >= amiga_end) return past_amiga_end[static_cast<std::size_t>(index - amiga_end)];
  // The table's eighth-semitone steps are taken to the note's octave first, rounding halves
  // down; an odd sixteenth lies half-way between two of them, rounded down again.
  const int octave = note / 12, fine = sixteenths + 16;
  const int eighths = (note % 12) * 8 + fine / 2;
  const auto in_octave = [octave](int doubled) {
    return octave == 0 ? doubled * 16 : (doubled * 16 + (1 << (octave - 1)) - 1) >> octave;
  };
  const int low = in_octave(doubled_amiga_period(eighths));
  if (fine % 2 == 0) return low;
  return (low + in_octave(doubled_amiga_period(eighths + 1))) / 2;
}

}  // namespace

int note_period(bool linear, int note, int finetune) {
  return period_at(linear, std::clamp(note, 0, highest_note), sixteenths_of(finetune));
}

int table_period(bool linear, int played, int finetune) {
  // Read as far as the table goes: up from B one below C-0 at the finetunes from 0 (as C-0's
  // lowest sixteenths on the linear table), and past A#9 into B-9.
  const int sixteenths = sixteenths_of(finetune);
  const int index = played * 16 + sixteenths + 16;
  return index < 0 || index >= table_entries ? -1 : period_at(linear, played, sixteenths);
}

int arpeggio_period(bool linear, int note, int finetune) {
  // From two sixteenths of a semitone below C-8 up, FastTracker 2 plays one sixteenth below it.
  constexpr int last_note = 95, last_sixteenth = 15;
  const int sixteenths = sixteenths_of(finetune);
  if (note * 16 + sixteenths >= last_note * 16 + last_sixteenth - 1) {
    return period_at(linear, last_note, last_sixteenth);
  }
  return period_at(linear, note, sixteenths);
}

double period_frequency(bool linear, int period) {
  if (!linear && period < min_period) {
    // FastTracker 2 keeps the period it plays in 16 bits, so an Amiga period a vibrato takes
    // below 1 comes round to the bottom of the audible range; a linear one goes on up.
    period &= 0xFFFF;
    return period == 0 ? 0 : 8363.0 * 1712.0 / period;
  }
  if (linear) {
    // Past 9216 (C-0 and more than a further octave down) FastTracker 2's linear table reads
    // astray: its octave shift counts down from the inverted 16-bit period and wraps every 32
    // octaves, so it plays as if the period were 8192 more, then from 14081 on 16384 less, from
    // 38657 on 40960 less and from 63233 on 65536 less.
    constexpr int table_end = 9216, inverted = 74752, octave = 768, last_octave = 79;
    period &= 0xFFFF;
    if (period > table_end) {
      const int wraps = (last_octave - (inverted - period) / octave + 31) / 32;
      period += 8192 - 24576 * wraps;
    }
    return 8363.0 * std::exp2((4608.0 - period) / 768.0);
  }
  return 8363.0 * 1712.0 / period;
}

int arpeggio_base(bool linear, int period, int finetune) {
  // Where note n begins: half a semitone below it at the finetune, in the table's sixteenths.
  const int s = sixteenths_of(finetune) - 8;
  const auto lower_edge = [&](int n) {
    return s < -16 ? period_at(linear, n - 1, s + 16) : period_at(linear, n, s);
  };
  // FastTracker 2 looks among C-0..B-7 only: a higher pitch counts from B-7.
  constexpr int last_note = 95;
  int note = 0;
  while (note < last_note && period < lower_edge(note + 1)) ++note;
  return note;
}

// The table holds sixteen steps (0, 1, 2, 0, ...) read backwards by the ticks left in the row;
// past it FastTracker 2 reads the vibrato table behind, whose 0 then non-zero bytes give the base
// note at 16 ticks left and the y note beyond.
int arpeggio_step(int speed, int tick) {
  const int left = speed - tick;
  if (left > 16) return 2;
  if (left == 16) return 0;
  return left % 3;
}

}  // namespace xm::tables
