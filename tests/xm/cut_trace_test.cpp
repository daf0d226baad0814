// Files cut short against FastTracker 2. Each file in cut_traces holds what a FastTracker 2
// reference played of a generated song cut short (scripts/ft2_cuts.py --record): its first line
// makes the file again ("# xm-generate --orders N --rows N SEED --cut BYTES": the song's first
// BYTES bytes), then a line a tick, then the song's end. The cuts fall in sample data and in an
// instrument's header, where FastTracker 2 plays what arrived; ticks compare as ft2cmp.py compares
// them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tools/song_generator/song_generator.h"
#include "xm/load.h"
#include "xm/replayer.h"

namespace {

namespace fs = std::filesystem;

class CutTrace : public testing::TestWithParam<fs::path> {};

TEST_P(CutTrace, PlaysAsFastTracker2) {
  std::ifstream file(GetParam());
  std::string command, line, end, first;
  std::getline(file, command);
  std::istringstream words(command.substr(command.find("xm-generate") + 11));
  std::map<std::string, int> options;  // "" is the seed
  for (std::string word, value; words >> word;) {
    if (word.starts_with("--") && words >> value) options[word] = std::stoi(value);
    if (!word.starts_with("--")) options[""] = std::stoi(word);
  }
  std::vector<std::uint8_t> bytes = xmwrite::file_bytes(song_generator::generate_song(
      static_cast<std::uint32_t>(options[""]),
      {.max_orders = options["--orders"], .max_rows = options["--rows"]}));
  bytes.resize(static_cast<std::size_t>(options["--cut"]));
  const xm::LoadResult loaded = xm::load(bytes);
  ASSERT_TRUE(loaded.ok()) << loaded.message();
  EXPECT_FALSE(loaded.missing.empty()) << command << ": nothing reported missing";
  xm::Replayer replayer(loaded.module);
  long ticks = 0, differing_lines = 0;
  while (std::getline(file, line)) {
    if (line.starts_with("#")) {
      if (line.starts_with("# end:")) end = line;
      continue;
    }
    replayer.tick();
    ++ticks;
    std::istringstream fields(line);
    const xm::Position at = replayer.position();
    int order, pattern, row, tick, speed, bpm, volume, panning;
    fields >> order >> pattern >> row >> tick >> speed >> bpm;
    bool same = at.order == order && at.pattern == pattern && at.row == row && at.tick == tick;
    char bar;
    double hz;
    for (int ch = 0; fields >> bar >> hz >> volume >> panning; ++ch) {
      const xm::ChannelReport r = replayer.report(ch);
      const double our_hz = std::round(r.frequency_hz * 1000) / 1000;  // as the traces print it
      same = same && std::abs(volume - r.volume) <= 1 &&
             (volume <= 1 || r.volume <= 1 ||
              (hz > 0 && our_hz > 0 && std::abs(1200 * std::log2(our_hz / hz)) <= 1 &&
               std::abs(panning - r.panning) <= 2));
    }
    if (!same && differing_lines++ == 0) first = "tick " + std::to_string(ticks) + ": " + line;
  }
  EXPECT_EQ(differing_lines, 0) << command << ": the first line that differs is FastTracker 2's "
                                << first;
  const xm::SongLength length = xm::song_length(loaded.module, 44100);
  char ours_end[80];
  std::snprintf(ours_end, sizeof ours_end, "# end: ticks=%lld duration_s=%.3f",
                static_cast<long long>(length.ticks), length.seconds);
  EXPECT_EQ(ours_end, end) << command << ": the song's length";
}

INSTANTIATE_TEST_SUITE_P(Cuts, CutTrace,
                         testing::ValuesIn(std::vector<fs::path>(
                             fs::directory_iterator(CUT_TRACES_DIR), fs::directory_iterator())),
                         [](const testing::TestParamInfo<fs::path>& p) {
                           std::string name = p.param.stem().string();
                           std::replace(name.begin(), name.end(), '-', '_');
                           return "seed_" + name;
                         });

}  // namespace
