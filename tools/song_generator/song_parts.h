// What the generator's parts share: the plan a song is written to, and the builders of its
// instruments and patterns.
#pragma once

#include <vector>

#include "tools/song_generator/random.h"
#include "tools/song_generator/song_generator.h"
#include "tools/xm_writer/xm_module.h"

namespace song_generator {

struct SongPlan {
  int channels = 1;
  int orders = 1;       // entries in the order list
  int speed = 6;        // the initial ticks a row, for parameters that count ticks
  int instruments = 1;  // in the module; cells may name up to a few more
  // The song's own share of the effects and volume column commands: indices into the tables of
  // song_patterns.cpp.
  std::vector<int> effects{}, volume_commands{};
  // Chances of a cell having each part, in percent.
  int note_percent = 40, effect_percent = 40, volume_percent = 25, key_off_percent = 5;
  int flow_percent = 20;  // chance of each kind of flow event in a pattern
  bool stop = false;      // an F00 somewhere
};

// Chooses the plan's effects, volume commands and chances.
void choose_palette(Random& random, SongPlan& plan);

// Notes, instruments, volume column and effects from the palette, cell by cell.
void fill_pattern(Random& random, const SongPlan& plan, xmwrite::Pattern& pattern);

// Jumps, breaks, loops (nested too), pattern delays and tempo changes over a filled pattern.
void add_flow(Random& random, const SongPlan& plan, xmwrite::Pattern& pattern);

std::vector<xmwrite::Instrument> make_instruments(Random& random);

}  // namespace song_generator
