// A FastTracker 2 module (XM) as the generator composes it and tests build them, and its file
// bytes.
//
// Only what those need: patterns, instruments of several 8- or 16-bit samples with a keymap,
// volume and panning envelopes, forward or ping-pong loops, the frequency table flag, and the
// older 0x0102/0x0103 layouts for testing readers of them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace xmwrite {

constexpr std::uint8_t key_off = 97;

struct Cell {
  std::uint8_t note = 0;  // 1..96 = C-0..B-7, 97 = key off
  std::uint8_t instrument = 0;
  std::uint8_t volume = 0;  // volume column byte as stored
  std::uint8_t effect = 0;
  std::uint8_t param = 0;
};

struct Pattern {
  int rows = 64;
  int channels = 0;
  std::vector<Cell> cells;  // row-major

  Pattern(int row_count, int channel_count)
      : rows(row_count),
        channels(channel_count),
        cells(static_cast<std::size_t>(row_count) * channel_count) {}
  Cell& at(int row, int channel) {
    return cells[static_cast<std::size_t>(row) * channels + channel];
  }
  const Cell& at(int row, int channel) const {
    return cells[static_cast<std::size_t>(row) * channels + channel];
  }
};

struct EnvelopePoint {
  std::uint16_t tick;
  std::uint16_t value;  // 0..64
};

struct Envelope {
  std::vector<EnvelopePoint> points;  // at most 12; empty = off
  int sustain = -1;                   // point index, -1 = none
  int loop_start = -1, loop_end = -1;
};

enum class Loop : std::uint8_t { none = 0, forward = 1, ping_pong = 2 };

struct Sample {
  std::string name;
  // 16-bit samples: -32768..32767; 8-bit samples: -128..127.
  std::vector<std::int16_t> frames;
  bool sixteen_bit = true;
  Loop loop = Loop::none;
  std::uint32_t loop_start = 0, loop_length = 0;  // in frames
  std::uint8_t volume = 64;
  std::int8_t finetune = 0;
  std::uint8_t panning = 128;
  std::int8_t relative_note = 0;
};

struct Instrument {
  std::string name;
  std::vector<Sample> samples{};          // at most 16; none writes the short header
  std::array<std::uint8_t, 96> keymap{};  // note - 1 -> sample index
  Envelope volume_envelope{}, panning_envelope{};
  std::uint8_t vibrato_type = 0, vibrato_sweep = 0, vibrato_depth = 0, vibrato_rate = 0;
  std::uint16_t fadeout = 0;
};

struct Module {
  std::string name;
  std::string tracker;
  std::uint16_t version = 0x0104;  // 0x0102, 0x0103 or 0x0104 layout
  int channels = 0;
  int restart = 0;
  bool linear_frequencies = true;
  int speed = 6;
  int bpm = 125;
  std::vector<std::uint8_t> orders;
  std::vector<Pattern> patterns{};
  std::vector<Instrument> instruments{};
};

// The module's file: packed patterns, delta-coded samples.
std::vector<std::uint8_t> file_bytes(const Module& module);

}  // namespace xmwrite
