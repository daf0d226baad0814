// A-minor dance tune at 140 beats a minute, sixteen rows to the bar: intro, verse, chorus,
// breakdown, a two-bar build cut short by a pattern break, bridge, verse and chorus again, and a
// turnaround that leads back into the first verse when the song loops.
#include "tools/generate_assets/theme_song.h"

#include <array>
#include <string>
#include <string_view>

#include "tools/generate_assets/song_instruments.h"
#include "tools/generate_assets/song_writing.h"

namespace {

using score::chord;
using score::line;
using score::rows_per_bar;

enum Channel : int {
  kicks,
  snares,
  hats,
  cymbals,
  bass_line,
  melody,
  echo,
  arps,
  pads,  // and the two channels after it
  high_voice = pads + 3,
  channel_count
};

constexpr int bpm = 140;
constexpr int speed = 6;

constexpr std::uint8_t fx_portamento_up = 0x1, fx_portamento_down = 0x2, fx_volume_slide = 0xA,
                       fx_pattern_break = 0xD, fx_extended = 0xE;
constexpr std::uint8_t fine_volume_up = 0xA0;  // extended effect EAx

using Bars = std::array<std::string_view, 4>;

xmwrite::Pattern blank(int rows = 64) { return xmwrite::Pattern(rows, channel_count); }

void fx(xmwrite::Pattern& p, int row, int channel, std::uint8_t effect, std::uint8_t param) {
  p.at(row, channel).effect = effect;
  p.at(row, channel).param = param;
}

void kick_bar(xmwrite::Pattern& p, int bar, std::string_view pattern) {
  score::rhythm(p, kicks, bar, pattern, {{'x', kick, -1}, {'o', kick, 44}});
}
void snare_bar(xmwrite::Pattern& p, int bar, std::string_view pattern) {
  score::rhythm(p, snares, bar, pattern, {{'x', snare, -1}, {'o', snare, 24}, {'t', tom, -1}});
}
void hat_bar(xmwrite::Pattern& p, int bar, std::string_view pattern) {
  score::rhythm(
      p, hats, bar, pattern,
      {{'c', closed_hat, -1}, {'C', closed_hat, 34}, {'s', closed_hat, 14}, {'o', open_hat, -1}});
}
// A drum hit: drums play at C-4, their own rate. volume < 0 keeps the instrument's own.
void strike(xmwrite::Pattern& p, int row, int channel, std::uint8_t instrument, int volume = -1) {
  xmwrite::Cell& c = p.at(row, channel);
  c.note = static_cast<std::uint8_t>(score::note("C4"));
  c.instrument = instrument;
  if (volume >= 0) score::set_volume(c, volume);
}

void crash_at(xmwrite::Pattern& p, int row) { strike(p, row, cymbals, crash); }

// Pad voices are struck only where they change, so held chord tones keep ringing.
void pad_bars(xmwrite::Pattern& p, const Bars& chords, int volume = -1) {
  int previous[3] = {0, 0, 0};
  for (int bar = 0; bar < 4 && bar * rows_per_bar < p.rows; ++bar) {
    const score::Chord c = chord(chords[static_cast<std::size_t>(bar)]);
    for (int v = 0; v < 3; ++v) {
      if (c.voice[v] == previous[v]) continue;
      xmwrite::Cell& cell = p.at(bar * rows_per_bar, pads + v);
      cell.note = static_cast<std::uint8_t>(c.voice[v]);
      cell.instrument = pad;
      if (volume >= 0) score::set_volume(cell, volume);
      previous[v] = c.voice[v];
    }
  }
}

void bass_bars(xmwrite::Pattern& p, const Bars& chords, const Bars& patterns) {
  for (int bar = 0; bar < 4; ++bar) {
    score::bass_bar(p, bass_line, bar, chord(chords[static_cast<std::size_t>(bar)]),
                    patterns[static_cast<std::size_t>(bar)], bass);
  }
}

void arp_bars(xmwrite::Pattern& p, const Bars& chords, std::string_view pattern) {
  for (int bar = 0; bar < 4; ++bar) {
    score::arpeggio_bar(p, arps, bar, chord(chords[static_cast<std::size_t>(bar)]), pattern, chip);
  }
}

// Lead with its echo three rows later on the other side.
void lead_with_echo(xmwrite::Pattern& p, std::string_view text) {
  const auto phrases = line(text);
  score::play(p, melody, phrases, lead);
  score::play(p, echo, score::delayed(phrases, 3), lead_echo);
}

void harmony(xmwrite::Pattern& p, std::string_view text, bool raise_g) {
  score::play(p, high_voice, score::third_below(line(text), raise_g), lead, 30);
}

// A pattern for the whole band: the chords on the pads, the chip and the bass, the drums, and the
// lead with its echo, with a harmony under it where asked. Empty drum bars play the groove.
struct Section {
  Bars chords;
  Bars bass;
  std::string_view arps;
  std::string lead;
  bool crash = false;
  bool busy_hats = true;
  enum class Harmony { none, in_key, over_e } harmony = Harmony::none;
  Bars kick = {}, snare = {}, hats = {};
};

xmwrite::Pattern full_band(const Section& s) {
  xmwrite::Pattern p = blank();
  if (s.crash) crash_at(p, 0);
  pad_bars(p, s.chords);
  bass_bars(p, s.chords, s.bass);
  arp_bars(p, s.chords, s.arps);
  for (std::size_t bar = 0; bar < 4; ++bar) {
    const bool last = bar == 3;
    const int b = static_cast<int>(bar);
    kick_bar(p, b,
             !s.kick[bar].empty() ? s.kick[bar]
             : last               ? "x...x...x...x.o."
                                  : "x...x...x...x...");
    snare_bar(p, b,
              !s.snare[bar].empty() ? s.snare[bar]
              : last                ? "....x.......x.oo"
                                    : "....x.......x...");
    hat_bar(p, b,
            !s.hats[bar].empty() ? s.hats[bar]
            : s.busy_hats        ? "cCocsCocsCocsCoc"
                                 : "c.o.c.o.c.o.c.oc");
  }
  lead_with_echo(p, s.lead);
  if (s.harmony != Section::Harmony::none) {
    harmony(p, s.lead, s.harmony == Section::Harmony::over_e);
  }
  return p;
}

constexpr std::string_view octave_bass = "x.o.x.o.x.o.x.o.";
constexpr std::string_view chorus_bass = "x.ox.ox.x.ox.oxo";
constexpr std::string_view busy_bass = "x..x..x.x..x.o.5";

constexpr std::string_view hook =
    "E5:4 A5:4 G5:2 E5:2 D5:2 C5:2 "
    "C5~:6 A4:2 C5:2 D5:2 E5~:4 "
    "G5:4 E5:2 G5:2 C6:4 B5:2 G5:2 ";

xmwrite::Pattern intro() {
  xmwrite::Pattern p = blank();
  const Bars chords = {"Am", "F", "C", "G"};
  pad_bars(p, chords, 4);
  for (int row = 1; row <= 10; ++row) {
    for (int v = 0; v < 3; ++v) fx(p, row, pads + v, fx_extended, fine_volume_up | 2);
  }
  score::play(p, high_voice, line("E5:4 A5:4 G5:8 C5:8 E5:8 G5:4 E5:4 C6:8 B5:12 D6:4"), bell);
  for (int bar = 1; bar < 4; ++bar)
    hat_bar(p, bar, bar == 3 ? "s.s.s.s.s.s.cccc" : "s.s.s.s.s.s.s.s.");
  for (int bar = 2; bar < 4; ++bar) {
    score::arpeggio_bar(p, arps, bar, chord(chords[static_cast<std::size_t>(bar)]),
                        "x.x.x.x.x.x.x.x.", chip);
  }
  return p;
}

xmwrite::Pattern intro_drive() {
  xmwrite::Pattern p = blank();
  const Bars chords = {"Am", "F", "C", "G"};
  crash_at(p, 0);
  pad_bars(p, chords);
  bass_bars(p, chords, {octave_bass, octave_bass, octave_bass, octave_bass});
  arp_bars(p, chords, "x.x.x.x.x.x.x.x.");
  for (int bar = 0; bar < 4; ++bar) {
    kick_bar(p, bar, "x...x...x...x...");
    hat_bar(p, bar, "c.o.c.o.c.o.c.oc");
  }
  // A snare run rising into the verse.
  for (int i = 0; i < rows_per_bar; ++i) {
    if (i < 8 && i % 2) continue;
    strike(p, 3 * rows_per_bar + i, snares, snare, 14 + 3 * i);
  }
  return p;
}

xmwrite::Pattern verse() {
  return full_band({.chords = {"Am", "F", "C", "G"},
                    .bass = {octave_bass, octave_bass, octave_bass, octave_bass},
                    .arps = "x.x.x.x.x.x.x.x.",
                    .lead = std::string(hook) + "B5~:8 A5:2 G5:2 D5/:4",
                    .crash = true,
                    .busy_hats = false});
}

xmwrite::Pattern verse_answer() {
  return full_band({.chords = {"Am", "F", "G", "E"},
                    .bass = {octave_bass, octave_bass, octave_bass, "x.o.x.o.x.o.x.5."},
                    .arps = "x.x.x.x.x.x.x.x.",
                    .lead = "E5:4 A5:4 G5:2 E5:2 D5:2 C5:2 "
                            "C5~:6 A4:2 C5:2 D5:2 F5:4 "
                            "G5:4 F5:2 E5:2 D5:4 B4:2 D5:2 "
                            "E5/~:12 r:4",
                    .busy_hats = false});
}

constexpr std::string_view chorus_start =
    "A5:2 A5:2 C6:2 A5:2 G5:4 F5:2 G5:2 "
    "G5:2 G5:2 B5:2 G5:2 D6:4 B5:2 ";

xmwrite::Pattern chorus() {
  return full_band({.chords = {"F", "G", "Am", "Am"},
                    .bass = {chorus_bass, chorus_bass, chorus_bass, chorus_bass},
                    .arps = "x.xxx.xxx.xxx.xx",
                    .lead = std::string(chorus_start) + "G5:2 A5~:6 E5:2 A5:2 B5:2 C6:4 " +
                            "B5:4 A5:4 G5:4 E5:4",
                    .crash = true,
                    .harmony = Section::Harmony::in_key});
}

// The toms at its end fall in pitch as they roll.
xmwrite::Pattern chorus_turn() {
  xmwrite::Pattern p =
      full_band({.chords = {"F", "G", "E", "E"},
                 .bass = {chorus_bass, chorus_bass, chorus_bass, "x.ox.ox........."},
                 .arps = "x.xxx.xxx.xxx.xx",
                 .lead = std::string(chorus_start) + "D6:2 E6~:8 D6:2 C6:2 B5:4 G#5~:8 B5/~:8",
                 .harmony = Section::Harmony::over_e,
                 .kick = {"", "", "", "x...x...x......."},
                 .snare = {"", "", "", "....x...t.t.t.tt"},
                 .hats = {"", "", "", "cCocsCoc........"}});
  for (int row = 3 * rows_per_bar + 8; row < 64; ++row) {
    fx(p, row, snares, fx_portamento_down, 0x08);
  }
  return p;
}

xmwrite::Pattern breakdown() {
  xmwrite::Pattern p = blank();
  const Bars chords = {"Am", "F", "C", "G"};
  crash_at(p, 0);
  pad_bars(p, chords, 8);
  // The pads swell in, and fade in the last bar to make room for the build.
  for (int row = 1; row <= 4; ++row) {
    for (int v = 0; v < 3; ++v) fx(p, row, pads + v, fx_volume_slide, 0x10);
  }
  for (int row = 56; row < 64; ++row) {
    for (int v = 0; v < 3; ++v) fx(p, row, pads + v, fx_volume_slide, 0x01);
  }
  bass_bars(p, chords,
            {"x...............", "x...............", "x...............", "x.......x.o.x.o."});
  arp_bars(p, chords, "x..x..x...x..x..");
  score::play(p, high_voice, line("E5:4 A5:4 G5:8 C5:8 E5:8 G5:4 E5:4 C6:8 B5:8 G5:4 D5:4"), bell);
  for (int bar = 0; bar < 4; ++bar)
    hat_bar(p, bar, bar < 2 ? "..s...s...s...s." : "s.s.s.s.s.s.s.s.");
  kick_bar(p, 3, "x...x...x...x...");
  return p;
}

// Two bars on E that end early with a pattern break.
xmwrite::Pattern build() {
  xmwrite::Pattern p = blank();
  const Bars chords = {"E", "E", "E", "E"};
  pad_bars(p, chords);
  score::bass_bar(p, bass_line, 0, chord("E"), "x.x.x.x.x.x.x.x.", bass);
  score::bass_bar(p, bass_line, 1, chord("E"), "xxxxxxxxxxxxxxxx", bass);
  kick_bar(p, 0, "x...x...x...x...");
  kick_bar(p, 1, "x.x.x.x.x.x.x.x.");
  for (int i = 0; i < 2 * rows_per_bar; ++i) {
    if (i < rows_per_bar && i % 2) continue;
    strike(p, i, snares, snare, 16 + i * 3 / 2);
  }
  // A rising lead: slides up from E4 and grows louder.
  xmwrite::Cell& riser = p.at(0, melody);
  riser.note = static_cast<std::uint8_t>(score::note("E4"));
  riser.instrument = lead;
  score::set_volume(riser, 10);
  for (int row = 1; row < 32; ++row) {
    fx(p, row, melody, fx_portamento_up, 0x02);
    if (row % 3 == 0) p.at(row, melody).volume = 0x71;  // volume column: slide up by 1 a tick
  }
  fx(p, 31, cymbals, fx_pattern_break, 0x00);
  return p;
}

xmwrite::Pattern bridge() {
  return full_band({.chords = {"Dm", "Am", "G", "E"},
                    .bass = {busy_bass, busy_bass, busy_bass, busy_bass},
                    .arps = "x.x.x.x.x.x.x.x.",
                    .lead = "D5:2 F5:2 A5:4 G5/:2 F5:2 E5:2 D5:2 "
                            "E5~:8 C5:2 E5:2 A5:4 "
                            "B5:4 G5:2 D5:2 G5:4 A5:2 B5:2 "
                            "G#5~:8 E5:4 B4:4",
                    .crash = true});
}

xmwrite::Pattern bridge_climb() {
  return full_band({.chords = {"Dm", "Am", "E", "E"},
                    .bass = {busy_bass, busy_bass, busy_bass, "x.o.x.o.xxxxoooo"},
                    .arps = "x.xxx.xxx.xxx.xx",
                    .lead = "D6:4 C6:2 A5:2 F5:4 A5:2 C6:2 "
                            "E6~:8 D6:2 C6:2 B5:2 A5:2 "
                            "G#5:4 B5:4 E6~:8 "
                            "D6:4 B5:4 G#5:4 E5:4",
                    .harmony = Section::Harmony::over_e});
}

// Ends on E so that the loop back to the first verse resolves.
xmwrite::Pattern turnaround() {
  return full_band({.chords = {"Am", "F", "G", "E"},
                    .bass = {chorus_bass, chorus_bass, chorus_bass, "x.o.x.o.x.o.xo5o"},
                    .arps = "x.xxx.xxx.xxx.xx",
                    .lead = "A5~:8 E5:4 C5:4 "
                            "F5~:8 E5:4 D5:4 "
                            "D5:4 G5:4 B5:4 D6:4 "
                            "E6~:12 r:4",
                    .kick = {"", "", "", "x...x...x...x..."},
                    .snare = {"", "", "", "....x...x.x.xxxx"}});
}

}  // namespace

xmwrite::Module theme_song() {
  xmwrite::Module m;
  m.name = "Quillmar theme";
  m.tracker = "generate-assets";
  m.channels = channel_count;
  m.speed = speed;
  m.bpm = bpm;
  m.patterns = {intro(),     intro_drive(), verse(),  verse_answer(), chorus(),    chorus_turn(),
                breakdown(), build(),       bridge(), bridge_climb(), turnaround()};
  //           intro     verse   chorus  breakdown build bridge  verse   chorus  turnaround
  m.orders = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 2, 3, 4, 5, 10};
  m.restart = 2;  // the turnaround leads back into the first verse
  m.instruments = song_instruments();
  return m;
}

std::vector<std::uint8_t> theme_song_bytes() { return xmwrite::file_bytes(theme_song()); }
