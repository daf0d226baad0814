// Small notations the song is written in, turned into pattern cells.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "tools/xm_writer/xm_module.h"

namespace score {

constexpr int rows_per_bar = 16;

// XM note number of a name like "A4", "C#5" or "Bb3" (C-4 = 49); 0 for anything else.
int note(std::string_view name);

// One note of a melody line: where it starts, how long it lasts, how it is played.
struct Phrase {
  int row = 0, length = 0;
  int pitch = 0;         // XM note, 0 for a rest (key off)
  bool held = false;     // tie: nothing new starts
  bool glide = false;    // slides from the previous note instead of striking
  bool vibrato = false;  // vibrato once the note has settled
};

// "E5:4 A5~:4 G5/:2 r:2 -:4": note and length in rows; ~ vibrato, / glide, r rest, - hold.
std::vector<Phrase> line(std::string_view text, int first_row = 0);

// Writes a melody into one channel. volume < 0 keeps the instrument's own.
void play(xmwrite::Pattern& p, int channel, const std::vector<Phrase>& phrases,
          std::uint8_t instrument, int volume = -1);

// The same melody moved by rows (what falls outside the pattern is dropped).
std::vector<Phrase> delayed(std::vector<Phrase> phrases, int rows);

// A diatonic third below, in A minor, with G raised where the chord is E.
std::vector<Phrase> third_below(std::vector<Phrase> phrases, bool raise_g);

struct Chord {
  int root;      // XM note of the root in octave 2, for the bass
  int arp;       // arpeggio parameter: third and fifth above the root
  int voice[3];  // pad voicing
};
Chord chord(std::string_view name);  // "Am", "F", "C", "G", "E", "Dm", "Em", "Bb"

// One bar of a rhythm string (16 characters, one per row) through a table of what each
// character plays: instrument and volume, 0 instrument for nothing.
struct Hit {
  char symbol;
  std::uint8_t instrument;
  int volume;
};
void rhythm(xmwrite::Pattern& p, int channel, int bar, std::string_view pattern,
            const std::vector<Hit>& hits);

// Bass for one bar: x root, o octave up, 5 fifth, ^ key off, . nothing.
void bass_bar(xmwrite::Pattern& p, int channel, int bar, const Chord& c, std::string_view pattern,
              std::uint8_t instrument);

// Chip arpeggio on the chord for one bar, struck where the pattern has x.
void arpeggio_bar(xmwrite::Pattern& p, int channel, int bar, const Chord& c,
                  std::string_view pattern, std::uint8_t instrument, int octave_shift = 36);

void set_volume(xmwrite::Cell& c, int volume);  // volume column 0..64

}  // namespace score
