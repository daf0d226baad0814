// A strict reader of FastTracker 2 modules (XM 1.04) for checking the files we write. It reads
// the bytes on its own, with no help from the code that writes them, and stops at the first thing
// that does not add up, saying what and at which byte.
//
// Layout problems are errors: a wrong id or version, sizes that do not fit, packed pattern data
// that does not fill its cells exactly, sample data past the end. Values that merely make no
// musical sense (a note of 120, a loop past the sample's end) are handed back as stored for the
// caller to judge.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace xmfile {

struct Cell {
  std::uint8_t note = 0;  // 1..96 = C-0..B-7, 97 = key off
  std::uint8_t instrument = 0;
  std::uint8_t volume = 0;  // volume column byte
  std::uint8_t effect = 0;
  std::uint8_t param = 0;
};

struct Pattern {
  std::size_t offset = 0;  // of the pattern header
  std::uint32_t header_length = 0;
  int rows = 0;
  int channels = 0;
  std::uint16_t packed_size = 0;
  std::vector<Cell> cells;  // rows x channels, row-major

  const Cell& at(int row, int channel) const {
    return cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(channels) +
                 static_cast<std::size_t>(channel)];
  }
};

struct EnvelopePoint {
  std::uint16_t tick = 0;
  std::uint16_t value = 0;
};

struct Envelope {
  std::array<EnvelopePoint, 12> points{};  // all twelve slots as stored
  int count = 0;                           // points in use, as stored (may exceed 12)
  int sustain = 0, loop_start = 0, loop_end = 0;
  std::uint8_t type = 0;  // bit 0 on, bit 1 sustain, bit 2 loop

  bool on() const { return (type & 1) != 0; }
  bool sustained() const { return (type & 2) != 0; }
  bool looped() const { return (type & 4) != 0; }
};

struct Sample {
  std::size_t header_offset = 0, data_offset = 0;
  // Lengths and loop points in bytes, as stored.
  std::uint32_t length = 0, loop_start = 0, loop_length = 0;
  std::uint8_t volume = 0;
  std::int8_t finetune = 0;
  std::uint8_t type = 0;  // bits 0-1 loop (0 none, 1 forward, 2 ping-pong), bit 4 16-bit
  std::uint8_t panning = 0;
  std::int8_t relative_note = 0;
  std::string name;
  std::vector<std::int16_t> data;  // decoded frames; 8-bit samples hold -128..127

  bool sixteen_bit() const { return (type & 0x10) != 0; }
  int loop_type() const { return type & 3; }
  std::uint32_t bytes_per_frame() const { return sixteen_bit() ? 2 : 1; }
  std::uint32_t frames() const { return length / bytes_per_frame(); }
  std::uint32_t loop_start_frame() const { return loop_start / bytes_per_frame(); }
  std::uint32_t loop_frames() const { return loop_length / bytes_per_frame(); }
};

struct Instrument {
  std::size_t offset = 0;
  std::uint32_t header_size = 0;
  std::string name;
  std::uint8_t type = 0;
  int sample_count = 0;
  std::uint32_t sample_header_size = 0;  // 0 when there are no samples
  std::array<std::uint8_t, 96> keymap{};
  Envelope volume, panning;
  std::uint8_t vibrato_type = 0, vibrato_sweep = 0, vibrato_depth = 0, vibrato_rate = 0;
  std::uint16_t fadeout = 0;
  std::vector<Sample> samples;
};

struct Module {
  std::string id;  // the 17 bytes at the start
  std::string name, tracker;
  std::uint8_t marker = 0;  // the byte after the name, 0x1A
  std::uint16_t version = 0;
  std::uint32_t header_size = 0;
  int song_length = 0, restart = 0, channels = 0, pattern_count = 0, instrument_count = 0;
  std::uint16_t flags = 0;  // bit 0: linear frequency table
  int speed = 0, bpm = 0;
  std::vector<std::uint8_t> orders;  // song_length entries
  std::vector<Pattern> patterns;
  std::vector<Instrument> instruments;
  std::size_t consumed = 0;  // bytes up to the end of the last sample's data
};

struct ReadError {
  std::size_t offset = 0;
  std::string what;

  std::string text() const;  // "at byte N: what"
};

struct ReadResult {
  Module module;
  std::optional<ReadError> error;

  bool ok() const { return !error.has_value(); }
};

// Never reads outside `bytes`; bytes after the last sample are left unread (see `consumed`).
ReadResult read_module(std::span<const std::uint8_t> bytes);

}  // namespace xmfile
