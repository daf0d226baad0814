// Small modules built in memory for the replayer's tick traces, and the trace case they share.
// The default module: linear frequencies, speed 4, BPM 125, one 8-row pattern; one instrument
// whose one sample has 1000 silent frames, volume 64, panning 128, finetune 0, relative note 0,
// no envelopes, so C-4 (note 49) has period 4608 and plays 8363 Hz.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "xm/module.h"
#include "xm/replayer.h"

namespace xmtest {

constexpr std::uint8_t c4 = 49, d4 = 51, off = xm::key_off;

struct Put {
  int row = 0;
  xm::Cell cell;
  int channel = 0, pattern = 0;
};

inline xm::Module module(const std::vector<Put>& puts, int patterns = 1, int channels = 2) {
  xm::Module m;
  m.channels = channels;
  m.speed = 4;
  xm::Sample s;
  s.length = 1000;
  s.data.assign(1000 + 2 * xm::sample_guard, 0);
  m.instruments.resize(1);
  m.instruments[0].samples.push_back(s);
  for (int p = 0; p < patterns; ++p) {
    m.orders.push_back(static_cast<std::uint8_t>(p));
    m.patterns.push_back({8, std::vector<xm::Cell>(static_cast<std::size_t>(8 * channels))});
  }
  for (const Put& put : puts) {
    m.patterns[static_cast<std::size_t>(put.pattern)]
        .cells[static_cast<std::size_t>(put.row * channels + put.channel)] = put.cell;
  }
  return m;
}

// What a trace follows on channel 0 after each tick.
enum class Probe { period, amiga_period, volume, panning, trigger, start_frame, position, ended };

struct TraceCase {
  std::string name;
  std::vector<Put> cells;
  Probe probe;
  std::vector<int> expected;  // one per tick from the first; a period of 0 is silence
  void (*edit)(xm::Module&) = nullptr;
};

// The frequencies of the XM document: linear and Amiga periods.
inline double hz(Probe probe, int period) {
  if (period == 0) return 0;
  return probe == Probe::period ? 8363.0 * std::exp2((4608.0 - period) / 768.0)
                                : 8363.0 * 1712.0 / period;
}

class Trace : public testing::TestWithParam<TraceCase> {};

inline std::string case_name(const testing::TestParamInfo<TraceCase>& param) {
  return param.param.name;
}

}  // namespace xmtest
