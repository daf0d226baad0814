// A FastTracker 2 extended module (XM) as the loader reads it and the replayer plays it.
//
// Everything here is checked by the loader (xm/load.h): counts are within the limits below, every
// order entry names a pattern that exists (the loader adds the empty 64-row patterns FastTracker 2
// plays for missing ones), every keymap entry names a sample of its instrument or is
// `no_sample`, loops lie inside their sample, envelope points are in range.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace xm {

constexpr int max_channels = 32;
constexpr int max_patterns = 256;
constexpr int max_orders = 256;
constexpr int max_rows = 256;
constexpr int max_instruments = 128;
constexpr int max_samples = 16;  // per instrument
constexpr int max_envelope_points = 12;
constexpr int note_count = 96;  // C-0 .. B-7

constexpr std::uint8_t key_off = 97;      // the note byte of a key off
constexpr std::uint8_t no_sample = 0xFF;  // a keymap entry that plays nothing

// Frames of guard kept before and after every sample's data so that an interpolating mixer reads
// neighbours without bounds checks (see Sample::data).
constexpr int sample_guard = 4;

// One pattern cell as stored.
struct Cell {
  std::uint8_t note = 0;        // 0 none, 1..96 = C-0..B-7, 97 key off
  std::uint8_t instrument = 0;  // 0 none, 1..128
  std::uint8_t volume = 0;      // the volume column byte: 0x10..0x50 volume, 0x60.. effects
  std::uint8_t effect = 0;      // 0..35: 0-9 and A-Z as FastTracker 2 numbers them
  std::uint8_t param = 0;
};

struct Pattern {
  int rows = 64;            // 1..256
  std::vector<Cell> cells;  // rows * Module::channels, row-major

  const Cell& at(int row, int channel, int channels) const {
    return cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(channels) +
                 static_cast<std::size_t>(channel)];
  }
};

enum class LoopType : std::uint8_t { none, forward, ping_pong };

struct Sample {
  std::string name;
  // The frames as signed 16-bit values (8-bit samples scaled by 256), with `sample_guard` frames
  // before the first and after the last playable frame: frame i of the sample is
  // data[sample_guard + i]. A looped sample's playable frames end at its loop end (FastTracker 2
  // never plays past it); its guard after the end holds what playing on would read (the loop
  // start again, or the loop mirrored for ping-pong). An unlooped sample's guards are silence.
  std::vector<std::int16_t> data;
  std::uint32_t length = 0;                       // playable frames
  std::uint32_t loop_start = 0, loop_length = 0;  // frames; loop_length 0 when LoopType::none
  LoopType loop = LoopType::none;
  bool sixteen_bit = false;  // as stored in the file
  std::uint8_t volume = 64;  // 0..64
  std::int8_t finetune = 0;  // -128..127: 1/128 of a semitone
  std::uint8_t panning = 128;
  std::int8_t relative_note = 0;  // semitones added to the note played
};

struct EnvelopePoint {
  std::uint16_t tick = 0;  // ticks from the note start, rising
  std::uint8_t value = 0;  // 0..64 (panning: 32 is centre)
};

struct Envelope {
  std::array<EnvelopePoint, max_envelope_points> points{};
  std::uint8_t count = 0;                                  // points in use, 0..12
  std::uint8_t sustain = 0, loop_start = 0, loop_end = 0;  // point indices
  bool on = false, sustain_on = false, loop_on = false;
};

inline constexpr std::uint16_t blank_fadeout = 128;

struct Instrument {
  std::string name;
  std::array<std::uint8_t, note_count> keymap{};  // note - 1 -> sample index or no_sample
  Envelope volume_envelope, panning_envelope;
  std::uint8_t vibrato_type = 0;  // 0 sine, 1 square, 2 ramp down, 3 ramp up
  std::uint8_t vibrato_sweep = 0, vibrato_depth = 0, vibrato_rate = 0;
  // Subtracted from 65536 each tick after key off. An instrument without samples is a blank one,
  // whatever its header holds, and blank ones fade by 128.
  std::uint16_t fadeout = 0;
  std::vector<Sample> samples;  // 0..16
};

struct Module {
  std::string name, tracker;
  std::uint16_t version = 0x0104;
  int channels = 0;                  // 1..32 (the file may say more only if it is refused)
  int restart = 0;                   // order index the song goes on from after its end
  bool linear_frequencies = true;    // false: the Amiga period table
  int speed = 6, bpm = 125;          // initial ticks a row and tempo
  std::vector<std::uint8_t> orders;  // 1..256 pattern numbers, each < patterns.size()
  std::vector<Pattern> patterns;
  std::vector<Instrument> instruments;  // instrument n is instruments[n - 1]
};

}  // namespace xm
