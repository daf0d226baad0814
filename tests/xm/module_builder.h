// Small modules built in memory for the replayer's tick traces, and the trace case they share.
// The default module: linear frequencies, speed 4, BPM 125, two 8-row patterns in orders 0 and 1,
// two channels; one instrument whose one sample has 1000 silent frames looped, volume 64, panning
// 128, finetune 0, relative note 0, no envelopes: C-4 has period 4608 and plays 8363 Hz.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "xm/module.h"
#include "xm/replayer.h"

namespace xmtest {

// Cells, ';' between: "row[.channel]" then any of a note (C-4, C#4, === key off), "i" and an
// instrument, "v" and a volume byte in hex, an effect and its hex parameter (A02), e.g.
// "0 C-4 i1 v38 A02; 1.1 F03".
inline void put_cells(xm::Module& m, const std::string& text) {
  std::istringstream all(text);
  for (std::string item; std::getline(all, item, ';');) {
    std::istringstream in(item);
    double where = 0;
    in >> where;
    const int row = static_cast<int>(where),
              channel = static_cast<int>(std::lround((where - row) * 10));
    xm::Cell& c = m.patterns[0].cells[static_cast<std::size_t>(row * m.channels + channel)];
    const std::string names = "C-C#D-D#E-F-F#G-G#A-A#B-";
    for (std::string t; in >> t;) {
      const bool note = t[1] == '-' || t[1] == '#';
      if (t == "===") c.note = xm::key_off;
      if (note) c.note = names.find(t.substr(0, 2)) / 2 + 12 * (t[2] - '0') + 1;
      if (t[0] == 'i') c.instrument = std::stoi(t.substr(1));
      if (t[0] == 'v') c.volume = std::stoi(t.substr(1), nullptr, 16);
      if (std::isalnum(t[0]) && !std::islower(t[0]) && !note) {
        c.effect = std::stoi(t.substr(0, 1), nullptr, 36);
        c.param = std::stoi(t.substr(1), nullptr, 16);
      }
    }
  }
}

// Changes to the default module, space between, values after '=' with ',' between: speed=,
// restart=, rows1= (the second pattern's rows), amiga, oneshot (unlooped), volume=, finetune=,
// relative=, fadeout=,
// venv= and penv= (tick,value pairs), vsus= (point), vloop= (start,end points),
// avib=type,sweep,depth,rate, map=note index,sample (a sample past the last one is a copy of the
// first, a relative note given as a third value).
inline void change(xm::Module& m, const std::string& text) {
  xm::Instrument& ins = m.instruments[0];
  std::istringstream in(text);
  for (std::string t; in >> t;) {
    const std::string key = t.substr(0, t.find('='));
    std::vector<int> v;
    std::istringstream values(t.substr(std::min(t.size(), key.size() + 1)));
    for (std::string n; std::getline(values, n, ',');) v.push_back(std::stoi(n));
    xm::Envelope& env = key[0] == 'p' ? ins.panning_envelope : ins.volume_envelope;
    if (key == "speed") m.speed = v[0];
    if (key == "restart") m.restart = v[0];
    if (key == "rows1")
      m.patterns[1] = {v[0], std::vector<xm::Cell>(static_cast<std::size_t>(v[0] * 2))};
    if (key == "amiga") m.linear_frequencies = false;
    if (key == "finetune") ins.samples[0].finetune = v[0];
    if (key == "relative") ins.samples[0].relative_note = v[0];
    if (key == "fadeout") ins.fadeout = v[0];
    if (key == "volume") ins.samples[0].volume = v[0];
    if (key == "oneshot") ins.samples[0].loop = xm::LoopType::none;
    for (std::size_t i = 0; key.ends_with("env") && i < v.size() / 2; ++i) {
      env.points[i].tick = v[2 * i], env.points[i].value = v[2 * i + 1];
      env.count = i + 1, env.on = true;
    }
    if (key == "vsus") env.sustain = v[0], env.sustain_on = true;
    if (key == "vloop") env.loop_start = v[0], env.loop_end = v[1], env.loop_on = true;
    if (key == "avib") {
      ins.vibrato_type = v[0], ins.vibrato_sweep = v[1];
      ins.vibrato_depth = v[2], ins.vibrato_rate = v[3];
    }
    if (key == "map") {
      ins.keymap[static_cast<std::size_t>(v[0])] = v[1];
      if (v.size() > 2)
        ins.samples.push_back(ins.samples[0]), ins.samples.back().relative_note = v[2];
    }
  }
}

inline xm::Module module(const std::string& text) {
  xm::Module m;
  m.channels = 2, m.speed = 4, m.orders = {0, 1};
  m.patterns.assign(2, {8, std::vector<xm::Cell>(16)});
  xm::Sample s;
  s.length = s.loop_length = 1000, s.loop = xm::LoopType::forward;
  s.data.resize(1000 + 2 * xm::sample_guard);
  m.instruments.resize(1);
  m.instruments[0].samples.push_back(s);
  put_cells(m, text.substr(0, text.find('|')));
  if (text.find('|') != std::string::npos) change(m, text.substr(text.find('|') + 1));
  return m;
}

// What a trace follows on channel 0 after each tick; position is order * 100 + row, plus 1000
// once the song has ended.
enum class Probe { period, amiga_period, volume, panning, trigger, start_frame, position };

struct TraceCase {
  std::string name, cells;  // cells, then after '|' changes to the default module
  Probe probe;
  std::string expected;  // one number a tick from the first; a period of 0 is silence
};

class Trace : public testing::TestWithParam<TraceCase> {};

inline std::string case_name(const testing::TestParamInfo<TraceCase>& param) {
  return param.param.name;
}

}  // namespace xmtest
