#include "tools/generate_assets/song_writing.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace score {
namespace {

constexpr std::uint8_t fx_arpeggio = 0x0, fx_tone_portamento = 0x3, fx_vibrato = 0x4;

bool fits(const xmwrite::Pattern& p, int row) { return row >= 0 && row < p.rows; }

std::vector<std::string_view> words(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != ' ') ++i;
    if (i > start) out.push_back(text.substr(start, i - start));
  }
  return out;
}

// A-minor scale as pitch classes from C.
constexpr int scale[7] = {9, 11, 0, 2, 4, 5, 7};

int degree_of(int pitch_class) {
  for (int d = 0; d < 7; ++d) {
    if (scale[d] == pitch_class) return d;
  }
  return -1;
}

}  // namespace

int note(std::string_view name) {
  if (name.size() < 2) return 0;
  static constexpr int letters[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
  if (letter < 'A' || letter > 'G') return 0;
  int pitch = letters[letter - 'A'];
  std::size_t i = 1;
  if (name[i] == '#')
    pitch += 1, ++i;
  else if (name[i] == 'b')
    pitch -= 1, ++i;
  if (i + 1 != name.size() || !std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
  const int n = (name[i] - '0') * 12 + pitch + 1;
  return n >= 1 && n <= 96 ? n : 0;
}

std::vector<Phrase> line(std::string_view text, int first_row) {
  std::vector<Phrase> out;
  int row = first_row;
  for (std::string_view w : words(text)) {
    const std::size_t colon = w.find(':');
    std::string_view head = w.substr(0, colon);
    Phrase ph;
    ph.row = row;
    ph.length =
        colon == std::string_view::npos ? 1 : std::atoi(std::string(w.substr(colon + 1)).c_str());
    while (!head.empty() && (head.back() == '~' || head.back() == '/')) {
      (head.back() == '~' ? ph.vibrato : ph.glide) = true;
      head.remove_suffix(1);
    }
    if (head == "-") {
      ph.held = true;
    } else if (head != "r") {
      ph.pitch = note(head);
    }
    out.push_back(ph);
    row += ph.length;
  }
  return out;
}

void set_volume(xmwrite::Cell& c, int volume) {
  c.volume = static_cast<std::uint8_t>(0x10 + (volume < 0 ? 0 : (volume > 64 ? 64 : volume)));
}

void play(xmwrite::Pattern& p, int channel, const std::vector<Phrase>& phrases,
          std::uint8_t instrument, int volume) {
  for (const Phrase& ph : phrases) {
    if (ph.held || !fits(p, ph.row)) continue;
    xmwrite::Cell& c = p.at(ph.row, channel);
    if (ph.pitch == 0) {
      c.note = xmwrite::key_off;
      continue;
    }
    c.note = static_cast<std::uint8_t>(ph.pitch);
    if (ph.glide) {
      // Sliding keeps the sounding note; two more rows finish the slide.
      for (int r = 0; r < 3 && r < ph.length; ++r) {
        if (!fits(p, ph.row + r)) break;
        p.at(ph.row + r, channel).effect = fx_tone_portamento;
        p.at(ph.row + r, channel).param = 0x10;
      }
    } else {
      c.instrument = instrument;
      if (volume >= 0) set_volume(c, volume);
    }
    if (ph.vibrato) {
      for (int r = ph.glide ? 3 : 2; r < ph.length; ++r) {
        if (!fits(p, ph.row + r)) break;
        p.at(ph.row + r, channel).effect = fx_vibrato;
        p.at(ph.row + r, channel).param = 0x54;
      }
    }
  }
}

std::vector<Phrase> delayed(std::vector<Phrase> phrases, int rows) {
  for (Phrase& ph : phrases) ph.row += rows;
  return phrases;
}

std::vector<Phrase> third_below(std::vector<Phrase> phrases, bool raise_g) {
  for (Phrase& ph : phrases) {
    if (ph.pitch == 0) continue;
    const int pc = (ph.pitch - 1) % 12;
    int d = degree_of(pc);
    if (d < 0) d = degree_of(pc - 1);  // G# and other raised notes: as their natural
    const int target_pc = scale[(d + 5) % 7];
    int down = (pc - target_pc + 12) % 12;
    if (down == 0) down = 12;
    int pitch = ph.pitch - down;
    if (raise_g && (pitch - 1) % 12 == 7) pitch += 1;
    ph.pitch = pitch;
  }
  return phrases;
}

Chord chord(std::string_view name) {
  struct Entry {
    std::string_view name;
    const char* root;
    int arp;
    const char* voice[3];
  };
  static constexpr Entry table[] = {
      {"Am", "A1", 0x37, {"A3", "C4", "E4"}}, {"F", "F2", 0x47, {"A3", "C4", "F4"}},
      {"C", "C2", 0x47, {"G3", "C4", "E4"}},  {"G", "G1", 0x47, {"G3", "B3", "D4"}},
      {"E", "E2", 0x47, {"G#3", "B3", "E4"}}, {"Dm", "D2", 0x37, {"A3", "D4", "F4"}},
      {"Em", "E2", 0x37, {"G3", "B3", "E4"}}, {"Bb", "Bb1", 0x47, {"Bb3", "D4", "F4"}},
  };
  for (const Entry& e : table) {
    if (e.name == name) {
      return {note(e.root), e.arp, {note(e.voice[0]), note(e.voice[1]), note(e.voice[2])}};
    }
  }
  return {};
}

void rhythm(xmwrite::Pattern& p, int channel, int bar, std::string_view pattern,
            const std::vector<Hit>& hits) {
  for (int i = 0; i < rows_per_bar && i < static_cast<int>(pattern.size()); ++i) {
    const int row = bar * rows_per_bar + i;
    if (!fits(p, row)) return;
    for (const Hit& h : hits) {
      if (h.symbol != pattern[static_cast<std::size_t>(i)] || h.instrument == 0) continue;
      xmwrite::Cell& c = p.at(row, channel);
      c.note = static_cast<std::uint8_t>(note("C4"));
      c.instrument = h.instrument;
      if (h.volume >= 0) set_volume(c, h.volume);
    }
  }
}

void bass_bar(xmwrite::Pattern& p, int channel, int bar, const Chord& c, std::string_view pattern,
              std::uint8_t instrument) {
  for (int i = 0; i < rows_per_bar && i < static_cast<int>(pattern.size()); ++i) {
    const int row = bar * rows_per_bar + i;
    if (!fits(p, row)) return;
    xmwrite::Cell& cell = p.at(row, channel);
    switch (pattern[static_cast<std::size_t>(i)]) {
      case 'x':
        cell.note = static_cast<std::uint8_t>(c.root);
        break;
      case 'o':
        cell.note = static_cast<std::uint8_t>(c.root + 12);
        break;
      case '5':
        cell.note = static_cast<std::uint8_t>(c.root + 7);
        break;
      case '^':
        cell.note = xmwrite::key_off;
        continue;
      default:
        continue;
    }
    cell.instrument = instrument;
  }
}

void arpeggio_bar(xmwrite::Pattern& p, int channel, int bar, const Chord& c,
                  std::string_view pattern, std::uint8_t instrument, int octave_shift) {
  for (int i = 0; i < rows_per_bar; ++i) {
    const int row = bar * rows_per_bar + i;
    if (!fits(p, row)) return;
    xmwrite::Cell& cell = p.at(row, channel);
    if (i < static_cast<int>(pattern.size()) && pattern[static_cast<std::size_t>(i)] == 'x') {
      cell.note = static_cast<std::uint8_t>(c.root + octave_shift);
      cell.instrument = instrument;
    }
    // The arpeggio runs on every row of the bar; a row without it plays the bare root.
    cell.effect = fx_arpeggio;
    cell.param = static_cast<std::uint8_t>(c.arp);
  }
}

}  // namespace score
