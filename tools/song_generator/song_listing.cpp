// The song as text (see describe() in song_generator.h).
#include <cstdio>
#include <string>

#include "tools/song_generator/song_generator.h"

namespace song_generator {
namespace {

using xmwrite::Cell;

std::string format(const char* pattern, auto... values) {
  char text[160];
  std::snprintf(text, sizeof text, pattern, values...);
  return text;
}

std::string hex2(unsigned value) { return format("%02X", value); }

std::string note_name(unsigned note) {
  static constexpr const char* names[12] = {"C-", "C#", "D-", "D#", "E-", "F-",
                                            "F#", "G-", "G#", "A-", "A#", "B-"};
  if (note == 0) return "...";
  if (note == xmwrite::key_off) return "===";
  if (note > 96) return "???";
  return format("%s%u", names[(note - 1) % 12], (note - 1) / 12);
}

constexpr const char* legend =
    "cells: NOTE INSTRUMENT VOLUME EFFECT; === key off; volume column vXX volume, sd/su slide\n"
    "down/up, fd/fu fine slide down/up, vs/vd vibrato speed/depth, pn panning, pl/pr panning\n"
    "slide left/right, tp tone portamento, xXX a byte that is no command\n";

std::string volume_text(unsigned v) {
  static constexpr const char* commands[10] = {"sd", "su", "fd", "fu", "vs",
                                               "vd", "pn", "pl", "pr", "tp"};
  if (v == 0) return "...";
  if (v >= 0x10 && v <= 0x50) return format("v%02X", v - 0x10);
  if (v >= 0x60) return format("%s%X", commands[(v >> 4) - 6], v & 0xF);
  return format("x%02X", v);
}

std::string effect_text(unsigned effect, unsigned param) {
  static constexpr char letters[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  if (effect == 0 && param == 0) return "...";
  return format("%c%02X", effect < 36 ? letters[effect] : '?', param);
}

std::string cell_text(const Cell& c) {
  return format("%s %s %s %s", note_name(c.note).c_str(),
                c.instrument != 0 ? hex2(c.instrument).c_str() : "..",
                volume_text(c.volume).c_str(), effect_text(c.effect, c.param).c_str());
}

std::string envelope_text(const char* what, const xmwrite::Envelope& e) {
  std::string text = format("  %s envelope", what);
  if (e.points.empty()) return text + " off\n";
  for (const xmwrite::EnvelopePoint& p : e.points) text += format(" %u:%u", p.tick, p.value);
  if (e.sustain >= 0) text += format(", sustain %d", e.sustain);
  if (e.loop_start >= 0) text += format(", loop %d-%d", e.loop_start, e.loop_end);
  return text + "\n";
}

std::string keymap_text(const xmwrite::Instrument& in) {
  std::string text = "keymap";
  for (unsigned first = 0; first < in.keymap.size();) {
    unsigned last = first;
    while (last + 1 < in.keymap.size() && in.keymap[last + 1] == in.keymap[first]) ++last;
    text += format(" %s..%s s%u%s", note_name(first + 1).c_str(), note_name(last + 1).c_str(),
                   in.keymap[first], in.keymap[first] < in.samples.size() ? "" : " (none)");
    first = last + 1;
  }
  return text;
}

std::string sample_text(std::size_t index, const xmwrite::Sample& s) {
  static constexpr const char* loops[3] = {"no loop", "forward loop", "ping-pong loop"};
  std::string text = format("  sample %zu: %d-bit, %zu frames, %s", index, s.sixteen_bit ? 16 : 8,
                            s.frames.size(), loops[static_cast<int>(s.loop)]);
  if (s.loop != xmwrite::Loop::none) text += format(" %u+%u", s.loop_start, s.loop_length);
  return text + format(", volume %u, panning %u, finetune %d, relative note %+d\n", s.volume,
                       s.panning, s.finetune, s.relative_note);
}

std::string instrument_text(std::size_t number, const xmwrite::Instrument& in) {
  static constexpr const char* waves[4] = {"sine", "square", "ramp down", "ramp up"};
  if (in.samples.empty()) return format("instrument %02zX: no samples\n", number);
  std::string text = format("instrument %02zX: %zu sample%s, ", number, in.samples.size(),
                            in.samples.size() == 1 ? "" : "s") +
                     keymap_text(in) + "\n" + envelope_text("volume", in.volume_envelope) +
                     envelope_text("panning", in.panning_envelope) +
                     format("  fadeout %u, auto-vibrato ", in.fadeout);
  text += in.vibrato_depth == 0
              ? std::string("off\n")
              : format("%s sweep %u depth %u rate %u\n", waves[in.vibrato_type & 3],
                       in.vibrato_sweep, in.vibrato_depth, in.vibrato_rate);
  for (std::size_t i = 0; i < in.samples.size(); ++i) text += sample_text(i, in.samples[i]);
  return text;
}

}  // namespace

std::string describe(const xmwrite::Module& m) {
  std::string text = format("song \"%s\": %d channel%s, %s table, speed %d, BPM %d, restart %d\n",
                            m.name.c_str(), m.channels, m.channels == 1 ? "" : "s",
                            m.linear_frequencies ? "linear" : "amiga", m.speed, m.bpm, m.restart);
  text += "orders:";
  for (unsigned pattern : m.orders) {
    text += format(" %u", pattern);
    if (pattern >= m.patterns.size()) text += " (missing: 64 empty rows)";
  }
  text += "\n";
  for (std::size_t i = 0; i < m.instruments.size(); ++i)
    text += instrument_text(i + 1, m.instruments[i]);
  text += legend;
  for (std::size_t p = 0; p < m.patterns.size(); ++p) {
    const xmwrite::Pattern& pattern = m.patterns[p];
    text += format("pattern %zu: %d rows\n", p, pattern.rows);
    for (int row = 0; row < pattern.rows; ++row) {
      text += format("%3d", row);
      for (int ch = 0; ch < pattern.channels; ++ch) text += " | " + cell_text(pattern.at(row, ch));
      text += "\n";
    }
  }
  return text;
}

}  // namespace song_generator
