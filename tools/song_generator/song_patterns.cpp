// Pattern cells: the tables of effects and volume column commands a song's palette draws from.
#include <algorithm>
#include <array>
#include <span>

#include "tools/song_generator/song_parts.h"

namespace song_generator {
namespace {

using xmwrite::Cell;

// FastTracker 2's effect numbers: 0-9, then A = 10 .. Z = 35.
constexpr std::uint8_t fx_tone_porta = 0x3, fx_extended = 0xE, fx_speed = 0xF;
constexpr std::uint8_t fx_g = 16, fx_h = 17, fx_k = 20, fx_l = 21, fx_p = 25, fx_r = 27, fx_t = 29,
                       fx_x = 33;

// A nibble: 0 (the effect's memory) often, the largest value sometimes.
int nibble(Random& r) {
  const int roll = r.below(10);
  return roll < 2 ? 0 : roll < 3 ? 15 : r.between(1, 14);
}
int nonzero_nibble(Random& r) { return r.percent(15) ? 15 : r.between(1, 14); }
std::uint8_t nibbles(Random& r) {
  const int x = nibble(r);
  return static_cast<std::uint8_t>(x << 4 | nibble(r));
}
std::uint8_t extended(int sub, int x) { return static_cast<std::uint8_t>(sub << 4 | x); }

// A speed or amount: 0 (the memory), the largest, or up to `typical`.
std::uint8_t amount(Random& r, int typical) {
  const int roll = r.below(100);
  return static_cast<std::uint8_t>(roll < 15 ? 0 : roll < 23 ? 0xFF : r.between(1, typical));
}

// A slide's xy: up (x), down (y), both (FastTracker 2 takes one), or 0 (the memory).
std::uint8_t slide(Random& r) {
  const int roll = r.below(100);
  if (roll < 15) return 0;
  if (roll < 50) return static_cast<std::uint8_t>(nonzero_nibble(r) << 4);
  if (roll < 85) return static_cast<std::uint8_t>(nonzero_nibble(r));
  const int x = nonzero_nibble(r);
  return static_cast<std::uint8_t>(x << 4 | nonzero_nibble(r));
}

// A count of ticks: mostly within the song's first speed, where it shows, sometimes past it.
int ticks(Random& r, const SongPlan& p) {
  return r.percent(75) ? r.between(0, std::min(15, p.speed)) : nibble(r);
}

// A volume or global volume: 0..64, the ends often, and now and then more than 64.
std::uint8_t volume(Random& r) {
  const int roll = r.below(100);
  return static_cast<std::uint8_t>(roll < 10   ? 0
                                   : roll < 20 ? 64
                                   : roll < 95 ? r.between(1, 63)
                                               : r.between(65, 255));
}

struct EffectKind {
  std::uint8_t effect;
  int weight;        // how often a song's palette takes it
  int note_percent;  // chance of a note beside it; -1: the song's own
  std::uint8_t (*param)(Random&, const SongPlan&);
};

using P = const SongPlan&;
constexpr EffectKind effect_kinds[] = {
    {0x0, 10, -1, [](Random& r, P) { return static_cast<std::uint8_t>(r.between(1, 255)); }},
    {0x1, 8, -1, [](Random& r, P) { return amount(r, 0x20); }},
    {0x2, 8, -1, [](Random& r, P) { return amount(r, 0x20); }},
    {fx_tone_porta, 10, 85, [](Random& r, P) { return amount(r, 0x40); }},
    {0x4, 10, -1, [](Random& r, P) { return nibbles(r); }},
    {0x5, 6, 40, [](Random& r, P) { return slide(r); }},
    {0x6, 6, -1, [](Random& r, P) { return slide(r); }},
    {0x7, 8, -1, [](Random& r, P) { return nibbles(r); }},
    {0x8, 6, -1,
     [](Random& r, P) {  // both ends and the centre often
       const int roll = r.below(12);
       return static_cast<std::uint8_t>(roll == 0   ? 0
                                        : roll == 1 ? 0x80
                                        : roll == 2 ? 0xFF
                                                    : r.below(256));
     }},
    {0x9, 8, 75, [](Random& r, P) { return amount(r, 0x10); }},
    {0xA, 10, -1, [](Random& r, P) { return slide(r); }},
    {0xC, 8, -1, [](Random& r, P) { return volume(r); }},
    {fx_extended, 2, -1, [](Random& r, P) { return extended(0x0, nibble(r)); }},
    {fx_extended, 6, -1, [](Random& r, P) { return extended(0x1, nibble(r)); }},
    {fx_extended, 6, -1, [](Random& r, P) { return extended(0x2, nibble(r)); }},
    {fx_extended, 4, 60,
     [](Random& r, P) { return extended(0x3, r.percent(80) ? r.below(2) : nibble(r)); }},
    {fx_extended, 5, -1,
     [](Random& r, P) { return extended(0x4, r.percent(80) ? r.below(8) : nibble(r)); }},
    {fx_extended, 5, 80, [](Random& r, P) { return extended(0x5, r.below(16)); }},
    {fx_extended, 3, -1,
     [](Random& r, P) { return extended(0x6, r.percent(40) ? 0 : nibble(r) % 4); }},
    {fx_extended, 5, -1,
     [](Random& r, P) { return extended(0x7, r.percent(80) ? r.below(8) : nibble(r)); }},
    {fx_extended, 2, -1, [](Random& r, P) { return extended(0x8, nibble(r)); }},
    {fx_extended, 6, 50, [](Random& r, P p) { return extended(0x9, ticks(r, p)); }},
    {fx_extended, 6, -1, [](Random& r, P) { return extended(0xA, nibble(r)); }},
    {fx_extended, 6, -1, [](Random& r, P) { return extended(0xB, nibble(r)); }},
    {fx_extended, 6, 50, [](Random& r, P p) { return extended(0xC, ticks(r, p)); }},
    {fx_extended, 8, 60, [](Random& r, P p) { return extended(0xD, ticks(r, p)); }},
    {fx_extended, 3, -1, [](Random& r, P) { return extended(0xE, r.between(0, 4)); }},
    {fx_extended, 2, -1, [](Random& r, P) { return extended(0xF, nibble(r)); }},
    {fx_speed, 5, -1,
     [](Random& r, P) {
       return static_cast<std::uint8_t>(r.percent(60) ? r.between(1, r.percent(80) ? 8 : 0x1F)
                                                      : r.between(0x20, 0xFF));
     }},
    {fx_g, 6, -1, [](Random& r, P) { return volume(r); }},
    {fx_h, 6, -1, [](Random& r, P) { return slide(r); }},
    {fx_k, 8, 40,
     [](Random& r, P p) {
       return static_cast<std::uint8_t>(r.percent(40)   ? 0
                                        : r.percent(80) ? r.between(1, p.speed)
                                                        : r.below(256));
     }},
    {fx_l, 6, -1,
     [](Random& r, P) {
       return static_cast<std::uint8_t>(r.percent(20)   ? 0
                                        : r.percent(90) ? r.between(1, 0x60)
                                                        : 0xFF);
     }},
    {fx_p, 6, -1, [](Random& r, P) { return slide(r); }},
    {fx_r, 8, 50, [](Random& r, P) { return nibbles(r); }},
    {fx_t, 6, -1, [](Random& r, P) { return nibbles(r); }},
    {fx_x, 5, -1, [](Random& r, P) { return extended(0x1, nibble(r)); }},
    {fx_x, 5, -1, [](Random& r, P) { return extended(0x2, nibble(r)); }},
    {fx_x, 2, -1,
     [](Random& r, P) {  // X0x and X3x..XFx
       const int sub = r.percent(20) ? 0 : r.between(3, 15);
       return extended(sub, nibble(r));
     }},
};

// Volume column commands by their high nibble; 0x10 stands for all volumes 0x10..0x50, 0x50 for
// the bytes 0x51..0x5F, which FastTracker 2 reads as nothing.
struct VolumeKind {
  std::uint8_t high;
  int weight;
  int note_percent;  // -1: the song's own
};
constexpr VolumeKind volume_kinds[] = {
    {0x10, 16, -1}, {0x50, 1, -1}, {0x60, 6, -1}, {0x70, 6, -1}, {0x80, 6, -1}, {0x90, 6, -1},
    {0xA0, 5, -1},  {0xB0, 6, -1}, {0xC0, 6, -1}, {0xD0, 5, -1}, {0xE0, 5, -1}, {0xF0, 8, 85},
};

std::uint8_t volume_byte(Random& r, const VolumeKind& kind) {
  switch (kind.high) {
    case 0x10:
      return static_cast<std::uint8_t>(0x10 + std::min<int>(volume(r), 0x40));
    case 0x50:
      return static_cast<std::uint8_t>(r.between(0x51, 0x5F));
    case 0xC0:
      return static_cast<std::uint8_t>(0xC0 | r.below(16));
    default:
      return static_cast<std::uint8_t>(kind.high | (r.percent(20) ? 0 : r.between(1, 15)));
  }
}

template <typename Kind>
int pick_weighted(Random& r, std::span<const Kind> kinds) {
  int total = 0;
  for (const Kind& k : kinds) total += k.weight;
  int roll = r.below(total);
  for (std::size_t i = 0;; ++i) {
    roll -= kinds[i].weight;
    if (roll < 0) return static_cast<int>(i);
  }
}

// An instrument number: mostly one of the module's, sometimes one past them that names nothing.
std::uint8_t instrument(Random& r, const SongPlan& p) {
  if (r.percent(5))
    return static_cast<std::uint8_t>(std::min(128, p.instruments + r.between(1, 3)));
  return static_cast<std::uint8_t>(r.between(1, p.instruments));
}

// Notes walk near the channel's last one, with leaps and both ends of the range now and then.
std::uint8_t next_note(Random& r, int& last) {
  const int roll = r.below(100);
  if (roll < 70) {
    last = std::clamp(last + r.between(-7, 7), 1, 96);
  } else if (roll < 90) {
    last = r.between(1, 96);
  } else {
    last = r.percent(50) ? r.between(1, 6) : r.between(91, 96);
  }
  return static_cast<std::uint8_t>(last);
}

// A key off alone, with an instrument, with a volume column, or under tone portamento.
void key_off(Random& r, const SongPlan& p, Cell& c) {
  c.note = xmwrite::key_off;
  if (r.percent(30)) c.instrument = instrument(r, p);
  if (r.percent(30) && c.volume == 0) c.volume = volume_byte(r, volume_kinds[0]);
  if (r.percent(20) && c.effect == 0 && c.param == 0) {
    if (r.percent(50)) {
      c.effect = fx_tone_porta;
      c.param = amount(r, 0x40);
    } else {
      c.volume = volume_byte(r, volume_kinds[std::size(volume_kinds) - 1]);
    }
  }
}

Cell make_cell(Random& r, const SongPlan& p, int& last_note) {
  Cell c;
  int note_percent = p.note_percent;
  if (!p.effects.empty() && r.percent(p.effect_percent)) {
    const EffectKind& kind = effect_kinds[p.effects[r.below(static_cast<int>(p.effects.size()))]];
    c.effect = kind.effect;
    c.param = kind.param(r, p);
    if (kind.note_percent >= 0) note_percent = kind.note_percent;
  }
  if (!p.volume_commands.empty() && r.percent(p.volume_percent)) {
    const VolumeKind& kind =
        volume_kinds[p.volume_commands[r.below(static_cast<int>(p.volume_commands.size()))]];
    c.volume = volume_byte(r, kind);
    if (kind.note_percent >= 0) note_percent = std::max(note_percent, kind.note_percent);
  }
  if (r.percent(p.key_off_percent)) {
    key_off(r, p, c);
  } else if (r.percent(note_percent)) {
    c.note = next_note(r, last_note);
    if (r.percent(85)) c.instrument = instrument(r, p);
  } else if (r.percent(5)) {
    c.instrument = instrument(r, p);
  }
  return c;
}

}  // namespace

void choose_palette(Random& r, SongPlan& p) {
  const int effects = r.between(1, 10);
  for (int i = 0; i < effects; ++i)
    p.effects.push_back(pick_weighted(r, std::span<const EffectKind>(effect_kinds)));
  const int volume_commands = r.between(1, 4);
  for (int i = 0; i < volume_commands; ++i)
    p.volume_commands.push_back(pick_weighted(r, std::span<const VolumeKind>(volume_kinds)));
  p.note_percent = r.between(15, 60);
  p.effect_percent = r.between(15, 60);
  p.volume_percent = r.percent(20) ? 0 : r.between(10, 50);
  p.key_off_percent = r.between(0, 12);
  p.flow_percent = r.percent(25) ? 0 : r.between(5, 35);
  p.stop = r.percent(3);
}

void fill_pattern(Random& r, const SongPlan& p, xmwrite::Pattern& pattern) {
  std::array<int, max_channels> last_notes{};
  for (int& n : last_notes) n = r.between(37, 60);
  bool empty = true;
  for (int row = 0; row < pattern.rows; ++row) {
    for (int ch = 0; ch < pattern.channels; ++ch) {
      Cell& c = pattern.at(row, ch);
      c = make_cell(r, p, last_notes[static_cast<std::size_t>(ch)]);
      empty = empty && c.note == 0 && c.instrument == 0 && c.volume == 0 && c.effect == 0 &&
              c.param == 0;
    }
  }
  // A pattern without data is stored as none, which readers take for 64 empty rows.
  if (empty) pattern.at(0, 0) = {.note = 49, .instrument = 1};
}

}  // namespace song_generator
