// How long a module plays before it loops, walked row by row the way FastTracker 2 moves through
// a song: only what changes where and when the rows play counts (speed, BPM, pattern break,
// position jump, pattern delay, pattern loop) plus the global volume a loop must come back to.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "tests/assets/xm_reader.h"

namespace xmfile {

struct PlayState {
  int speed = 6;  // ticks a row
  int bpm = 125;
  int global_volume = 64;

  friend bool operator==(const PlayState&, const PlayState&) = default;
};

struct SongTimeline {
  std::string error;  // empty when the song could be walked

  std::int64_t rows = 0;  // rows played: again each time a pattern loop repeats one
  std::int64_t ticks = 0;
  double seconds = 0;       // a tick lasts 2.5 / BPM seconds
  std::int64_t frames = 0;  // at the rate asked for, a whole number of frames a tick

  bool stops = false;  // F00 halts the song where it is
  // Where playing goes on after the last row: the restart position at the end of the order list,
  // or a row already played that a jump or break leads back to.
  int loop_order = 0, loop_row = 0;
  bool loops_at_list_end = false;
  PlayState at_end;                        // as the song goes round
  std::optional<PlayState> first_at_loop;  // when the loop target was first reached, if it was

  // The second time round starts as the first did.
  bool loops_cleanly() const {
    return error.empty() && !stops && first_at_loop.has_value() && *first_at_loop == at_end;
  }
};

// Frames a tick lasts at this BPM: floor(rate * 2.5 / bpm).
std::int64_t frames_per_tick(int bpm, int rate);

// Called for every row as it plays, a row played again by a pattern loop each time.
using RowVisitor = std::function<void(int order, int row)>;

// Plays from order 0, row 0 with the header's speed and BPM until the song stops or comes back
// to a row it has played.
SongTimeline play_through(const Module& module, int rate = 44100, const RowVisitor& on_row = {});

}  // namespace xmfile
