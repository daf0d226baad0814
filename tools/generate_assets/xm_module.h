// A FastTracker 2 module (XM 1.04) as the generator composes it, and its file bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xm {

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

// One 16-bit sample per instrument is all the song needs.
struct Instrument {
  std::string name;
  std::vector<std::int16_t> sample;
  bool looped = false;
  std::uint32_t loop_start = 0, loop_length = 0;  // in sample frames
  std::uint8_t volume = 64;
  std::int8_t finetune = 0;
  std::uint8_t panning = 128;
  std::int8_t relative_note = 0;
  Envelope volume_envelope;
  std::uint8_t vibrato_type = 0, vibrato_sweep = 0, vibrato_depth = 0, vibrato_rate = 0;
  std::uint16_t fadeout = 0;
};

struct Module {
  std::string name;
  std::string tracker;
  int channels = 0;
  int restart = 0;
  int speed = 6;
  int bpm = 125;
  std::vector<std::uint8_t> orders;
  std::vector<Pattern> patterns;
  std::vector<Instrument> instruments;
};

// The module in the XM 1.04 layout: linear frequency table, packed patterns, delta-coded samples.
std::vector<std::uint8_t> file_bytes(const Module& module);

}  // namespace xm
