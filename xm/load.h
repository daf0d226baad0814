// Reads an XM file (versions 0x0102 to 0x0104) from bytes into a Module.
//
// The only part of the player that allocates. It never reads past `bytes`. A file it cannot play
// gets an error naming what is wrong and the byte offset where it was found; oddities FastTracker 2
// accepts are read as FastTracker 2 reads them (loops past the sample end are cut to it, an order
// entry naming a missing pattern plays an empty 64-row pattern, ...).
//
// Layouts: 0x0104 holds the patterns, then each instrument with its sample headers and data.
// 0x0102 and 0x0103 hold every instrument's headers first, then the patterns, then all sample
// data; 0x0102 stores a pattern's row count less one in a byte (its pattern header is 8 bytes).
// Every header size field is honoured: extra bytes are skipped, a size too small for the fields
// is an error.
//
// Errors (the offset is where the fault lies; for a file that ends too soon, the file's size):
// another id or version; 0 or more than 32 channels (an odd count is kept, as FastTracker 2 plays
// it); more than 256 patterns, 128 instruments or 16 samples in an instrument; a pattern of more
// than 256 rows; packed pattern data holding more cells than its rows, or a cell cut by its end;
// a file that ends before its song header and order table are whole.
//
// A file that ends later plays as far as it goes, and `missing` says what did not arrive
// (FastTracker 2 loads some such files, other players all; where it loads one, this plays the
// same):
// - a pattern cut inside its packed data keeps its whole cells, its other rows empty; patterns
//   whose header did not arrive whole are empty 64-row ones;
// - an instrument whose header or sample headers did not all arrive has no samples, as have
//   those after it;
// - a sample cut inside its data keeps the frames that arrived and is silent after them up to the
//   length its header says, as FastTracker 2 plays it; samples whose data never came are silent
//   all through. At most 2^24 such silent frames in all: a header may claim 4 GB.
//
// Read as FastTracker 2 reads them, or clamped where it cannot store them:
// - Song length 0 plays one order; more than 256 keeps 256. A restart past the end is 0.
// - Speed 0 and BPM 0 are 6 and 125; others are clamped to 1..31 and 32..255.
// - A pattern of 0 rows has 64 empty rows; packed size 0 is an empty pattern; packed data with
//   fewer cells than the pattern leaves the rest empty.
// - Cells: notes above 97 (key off), instruments above 128 and effects above 35 (Z) are nothing.
// - Envelopes keep at most 12 points and stop before a point whose tick does not rise; values are
//   clamped to 64; sustain and loop points past the last point are clamped to it; a loop that
//   starts after it ends is off; an envelope without points is off.
// - Keymap entries naming a sample the instrument lacks are no_sample; auto-vibrato types above 3
//   are 0 (sine); sample volumes above 64 are 64.
// - Samples: lengths and loop points in bytes; a 16-bit sample's odd last byte is not a frame.
//   Loop type bit 1 means ping-pong whatever bit 0 says (type 3 is ping-pong). A loop of length 0
//   or starting past the end is no loop; a loop running past the end is cut to it.
// - Guards (xm/module.h): after a ping-pong loop's end come frames loop_end-1, loop_end-2, ...
//   (the turning frame plays twice, as FastTracker 2 turns); before a ping-pong loop starting at
//   frame 0 come frames 0, 1, ...; other guards before the first frame are silence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "xm/module.h"

namespace xm {

// One thing a file that ends early lacks. Instruments are numbered from 1, patterns and samples
// from 0, as FastTracker 2 shows them.
struct Missing {
  enum class Part : std::uint8_t {
    rows,         // pattern `index` holds `held` of its `of` rows
    patterns,     // patterns `index` to `of` - 1 never arrived
    instruments,  // instruments `index` to `of` never arrived whole
    frames,       // sample `sample` of instrument `index` holds `held` of its `of` frames
    samples,      // instrument `index`'s samples `sample` to `of` - 1 hold no frames
  };
  Part part;
  int index = 0;
  int sample = 0;
  std::uint32_t held = 0, of = 0;
};

struct LoadResult {
  Module module;      // complete only when ok()
  std::string error;  // empty on success, else what is wrong, e.g. "pattern 3: packed data overruns
                      // its rows"
  std::size_t offset = 0;        // byte offset of the fault
  std::vector<Missing> missing;  // what a file that ends early lacks; empty for a whole file

  bool ok() const { return error.empty(); }
  // "at byte 1234: pattern 3: ..." or "" when ok.
  std::string message() const;
  // One line naming what is missing, e.g. "pattern 12 holds 40 of 64 rows; patterns 13 to 19 are
  // missing; ...", or "" for a whole file. Long lists end in "and N more".
  std::string missing_text() const;
};

LoadResult load(std::span<const std::uint8_t> bytes);

}  // namespace xm
