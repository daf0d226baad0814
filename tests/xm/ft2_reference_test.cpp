// Our replayer against FastTracker 2 on generated songs. Each file in ft2_traces holds what a
// FastTracker 2 reference played of one song, a line a tick (scripts/record_ft2_traces.py): its
// first line is the xm-generate command that makes the song again, its last the song's end. Ticks
// compare as ft2cmp.py compares them: the position (order, pattern, row, tick) exactly, volumes
// within 1, and where both volumes are above 1, frequencies within a cent and pannings within 2.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "tools/song_generator/song_generator.h"
#include "xm/load.h"
#include "xm/replayer.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> trace_files() {
  std::vector<fs::path> files(fs::directory_iterator(FT2_TRACES_DIR), {});
  std::sort(files.begin(), files.end());
  return files;
}

// "# xm-generate [--channels N] [--orders N] [--rows N] SEED", the table drawn from the seed.
bool read_command(const std::string& line, std::uint32_t& seed, song_generator::SongShape& shape) {
  std::istringstream words(line);
  std::string word, value;
  if (!(words >> word >> word) || word != "xm-generate") return false;
  while (words >> word && word.starts_with("--") && words >> value) {
    (word == "--channels" ? shape.channels
     : word == "--orders" ? shape.max_orders
                          : shape.max_rows) = std::stoi(value);
  }
  seed = static_cast<std::uint32_t>(std::stoul(word));
  return true;
}

class Ft2Trace : public testing::TestWithParam<fs::path> {};

TEST_P(Ft2Trace, EveryTickAsFastTracker2) {
  std::ifstream file(GetParam());
  std::string command, line;
  std::getline(file, command);
  std::uint32_t seed = 0;
  song_generator::SongShape shape;
  ASSERT_TRUE(read_command(command, seed, shape)) << "no xm-generate command atop the trace";
  const std::vector<std::uint8_t> bytes =
      xmwrite::file_bytes(song_generator::generate_song(seed, shape));
  const xm::LoadResult loaded = xm::load(bytes);
  ASSERT_TRUE(loaded.ok()) << loaded.message();
  xm::Replayer replayer(loaded.module);

  long ticks = 0, channel_ticks = 0, differing = 0, differing_lines = 0;
  std::string first, end;
  while (std::getline(file, line)) {
    if (line.starts_with("#")) {
      if (line.starts_with("# end:")) end = line;
      continue;
    }
    replayer.tick();
    ++ticks;
    std::istringstream fields(line);
    const xm::Position at = replayer.position();
    int order, pattern, row, tick, speed, bpm;  // speed and BPM are not compared, as in ft2cmp.py
    fields >> order >> pattern >> row >> tick >> speed >> bpm;
    bool same = at.order == order && at.pattern == pattern && at.row == row && at.tick == tick;
    std::ostringstream ours;
    ours << std::fixed << std::setprecision(2) << at.order << ' ' << at.pattern << ' ' << at.row
         << ' ' << at.tick << ' ' << at.speed << ' ' << at.bpm;
    char bar;
    double hz;
    int volume, panning;
    for (int ch = 0; fields >> bar >> hz >> volume >> panning; ++ch) {
      const xm::ChannelReport r = replayer.report(ch);
      // As the traces print it, to a thousandth of a hertz: a near-zero frequency has no cents.
      const double our_hz = std::round(r.frequency_hz * 1000) / 1000;
      const bool alike = std::abs(volume - r.volume) <= 1 &&
                         (volume <= 1 || r.volume <= 1 ||
                          (hz > 0 && our_hz > 0 && std::abs(1200 * std::log2(our_hz / hz)) <= 1 &&
                           std::abs(panning - r.panning) <= 2));
      ++channel_ticks;
      differing += alike ? 0 : 1;
      same = same && alike;
      ours << " | " << r.frequency_hz << ' ' << r.volume << ' ' << r.panning;
    }
    differing_lines += same ? 0 : 1;
    if (!same && first.empty())
      first = "tick " + std::to_string(ticks) + ":\n  FT2:  " + fields.str() +
              "\n  ours: " + ours.str();
  }
  const std::string song = command.substr(2);
  EXPECT_EQ(differing_lines, 0) << song << ": " << differing << " of " << channel_ticks
                                << " channel-ticks differ; the first line that differs is "
                                << first;
  const xm::SongLength length = xm::song_length(loaded.module, 44100);
  char ours_end[80];
  std::snprintf(ours_end, sizeof ours_end, "# end: ticks=%lld duration_s=%.3f",
                static_cast<long long>(length.ticks), length.seconds);
  EXPECT_EQ(ours_end, end) << song << ": the song's length";
}

INSTANTIATE_TEST_SUITE_P(Songs, Ft2Trace, testing::ValuesIn(trace_files()),
                         [](const testing::TestParamInfo<fs::path>& p) {
                           return "seed_" + p.param.stem().string();
                         });

}  // namespace
