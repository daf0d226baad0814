// Random FastTracker 2 modules, for comparing our player with a reference tick by tick.
//
// generate_song() makes the same module from the same seed and shape on every platform and
// standard library (our own generator, integer arithmetic only). Songs are short: a few orders of
// patterns of 1..64 rows, a few hundred to a few thousand ticks. Each song takes a handful of
// effects and volume column commands from the whole set, so that every one shows up in many songs
// of a few thousand and a difference points at few suspects; notes, key offs in all their forms,
// instruments that do not exist or have no samples, envelopes, auto-vibrato, fadeout and sample
// loops of every kind come with them.
//
// Recorded reference traces (tests/xm/ft2_traces) name the seed and shape they were made from: a
// change to what a seed makes means recording them again.
#pragma once

#include <cstdint>
#include <string>

#include "tools/xm_writer/xm_module.h"

namespace song_generator {

enum class Table : std::uint8_t { from_seed, linear, amiga };

struct SongShape {
  int channels = 0;  // 1..32; 0 drawn from the seed
  Table table = Table::from_seed;
  int max_orders = 6;  // 1..256: the song's length in orders is drawn up to this
  int max_rows = 64;   // 1..256: each pattern's rows are drawn up to this
};

constexpr int max_channels = 32;

// Values of `shape` outside their ranges are clamped into them.
xmwrite::Module generate_song(std::uint32_t seed, const SongShape& shape);

// A listing to trace a difference to its cause: the song's header and orders, each instrument's
// envelopes, auto-vibrato, fadeout, keymap and samples, then every pattern a row a line, channels
// separated by '|' in tracker notation (C-4 01 v40 A0F). Orders, patterns and rows are decimal, as
// in tick traces; instruments, volumes and effect parameters hexadecimal, as trackers show them.
std::string describe(const xmwrite::Module& module);

}  // namespace song_generator
