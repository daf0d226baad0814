// The notations the song is written in.
#include <gtest/gtest.h>

#include <set>

#include "tools/generate_assets/song_writing.h"

namespace {

TEST(Notation, NoteNamesFollowTheTrackerNumbering) {
  // Note 1 is C-0, twelve to an octave.
  EXPECT_EQ(score::note("C0"), 1);
  EXPECT_EQ(score::note("C4"), 49);
  EXPECT_EQ(score::note("A4"), 58);
  EXPECT_EQ(score::note("C#5"), 62);
  EXPECT_EQ(score::note("Bb3"), 47);
  EXPECT_EQ(score::note("B7"), 96);
  for (const char* bad : {"", "C", "H4", "C10", "C#", "Cb0", "B#7", "c4x"}) {
    EXPECT_EQ(score::note(bad), 0) << bad;
  }
}

TEST(Notation, LinePlacesNotesOneAfterAnother) {
  const auto phrases = score::line("E5:4 A5~:2 G5/:6  r:2 -:3 D5/~:1", 8);
  ASSERT_EQ(phrases.size(), 6u);
  const int rows[] = {8, 12, 14, 20, 22, 25};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(phrases[i].row, rows[i]) << i;
  EXPECT_EQ(phrases[0].pitch, score::note("E5"));
  EXPECT_TRUE(phrases[1].vibrato && !phrases[1].glide);
  EXPECT_TRUE(phrases[2].glide && !phrases[2].vibrato);
  EXPECT_EQ(phrases[3].pitch, 0);
  EXPECT_TRUE(phrases[4].held);
  EXPECT_TRUE(phrases[5].glide && phrases[5].vibrato);
}

TEST(Notation, PlayStrikesGlidesAndRests) {
  xm::Pattern p(64, 2);
  score::play(p, 1, score::line("E5:4 G5/~:8 r:2 A5:60"), 7, 30);
  EXPECT_EQ(p.at(0, 1).note, score::note("E5"));
  EXPECT_EQ(p.at(0, 1).instrument, 7);
  EXPECT_EQ(p.at(0, 1).volume, 0x10 + 30);
  // A glide names no instrument, so the sounding note slides instead of starting again.
  EXPECT_EQ(p.at(4, 1).note, score::note("G5"));
  EXPECT_EQ(p.at(4, 1).instrument, 0);
  for (int row = 4; row < 7; ++row) EXPECT_EQ(p.at(row, 1).effect, 0x3) << row;
  for (int row = 7; row < 12; ++row) EXPECT_EQ(p.at(row, 1).effect, 0x4) << row;
  EXPECT_EQ(p.at(12, 1).note, xm::key_off);
  EXPECT_EQ(p.at(14, 1).note, score::note("A5"));  // runs past the pattern's end: kept inside
  for (int row = 0; row < 64; ++row) EXPECT_EQ(p.at(row, 0).note, 0);
}

// A diatonic third below in A minor: A-F, B-G, C-A, D-B, E-C, F-D, G-E.
TEST(Notation, HarmonyAThirdBelowStaysInTheKey) {
  const char* pairs[][2] = {{"A5", "F5"}, {"B5", "G5"}, {"C6", "A5"}, {"D6", "B5"},
                            {"E6", "C6"}, {"F5", "D5"}, {"G5", "E5"}, {"G#5", "E5"}};
  for (const auto& pair : pairs) {
    score::Phrase ph;
    ph.pitch = score::note(pair[0]);
    EXPECT_EQ(score::third_below({ph}, false)[0].pitch, score::note(pair[1])) << pair[0];
  }
  score::Phrase b;
  b.pitch = score::note("B5");
  EXPECT_EQ(score::third_below({b}, true)[0].pitch, score::note("G#5"));  // over E major
  score::Phrase rest;
  EXPECT_EQ(score::third_below({rest}, true)[0].pitch, 0);
}

TEST(Notation, ChordsAreTheirTriads) {
  // Pitch classes from C: each chord's voices are exactly its root, third and fifth.
  struct Triad {
    const char* name;
    int root, third, fifth;
  };
  const Triad triads[] = {{"Am", 9, 0, 4}, {"F", 5, 9, 0},  {"C", 0, 4, 7},   {"G", 7, 11, 2},
                          {"E", 4, 8, 11}, {"Dm", 2, 5, 9}, {"Em", 4, 7, 11}, {"Bb", 10, 2, 5}};
  for (const Triad& t : triads) {
    SCOPED_TRACE(t.name);
    const score::Chord c = score::chord(t.name);
    EXPECT_EQ((c.root - 1) % 12, t.root);
    std::set<int> voices;
    for (int v : c.voice) voices.insert((v - 1) % 12);
    EXPECT_EQ(voices, (std::set<int>{t.root, t.third, t.fifth}));
    EXPECT_EQ(((c.arp >> 4) + t.root) % 12, t.third);
    EXPECT_EQ(((c.arp & 0xF) + t.root) % 12, t.fifth);
  }
  EXPECT_EQ(score::chord("X").root, 0);
}

}  // namespace
