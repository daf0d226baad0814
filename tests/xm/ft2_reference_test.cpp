// Our replayer against FastTracker 2 on generated songs, whole and cut short, and on a few made by
// hand. Each .txt file in ft2_traces and cut_traces holds what a FastTracker 2 reference played of
// one song, a line a tick (scripts/record_ft2_traces.py, scripts/ft2_cuts.py --record): its first
// line is the xm-generate command that makes the song again (and where it is cut), or names the
// song's file beside it; its last line is the song's end. Ticks compare as ft2cmp.py compares
// them: the position (order, pattern, row, tick) exactly, volumes within 1, and where both volumes
// are above 1, frequencies within a cent and pannings within 2.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tools/song_generator/song_generator.h"
#include "xm/load.h"
#include "xm/replayer.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> trace_files(const char* folder) {
  std::vector<fs::path> files;
  for (const fs::path& f : fs::directory_iterator(folder)) {
    if (f.extension() == ".txt") files.push_back(f);
  }
  std::sort(files.begin(), files.end());
  return files;
}

// "# xm-generate [--channels N] [--orders N] [--rows N] SEED [--cut BYTES]", the table drawn from
// the seed; a cut keeps the file's first BYTES. Or "# file NAME", a song made by hand beside it.
struct Command {
  std::uint32_t seed = 0;
  song_generator::SongShape shape;
  int cut = 0;
  std::string file;
};
bool read_command(const std::string& line, Command& c) {
  std::istringstream words(line);
  std::string word, value;
  if (!(words >> word >> word)) return false;
  if (word == "file") return static_cast<bool>(words >> c.file);
  if (word != "xm-generate") return false;
  while (words >> word) {
    if (!word.starts_with("--")) {
      c.seed = static_cast<std::uint32_t>(std::stoul(word));
    } else if (words >> value) {
      (word == "--channels" ? c.shape.channels
       : word == "--orders" ? c.shape.max_orders
       : word == "--rows"   ? c.shape.max_rows
                            : c.cut) = std::stoi(value);
    }
  }
  return true;
}

// A trace's line: the position (order, pattern, row, tick; speed and BPM are not compared, as in
// ft2cmp.py), then frequency, volume and panning a channel.
struct Tick {
  int position[4] = {};
  std::vector<std::array<double, 3>> channels;
};
Tick parse(const std::string& line) {
  std::istringstream fields(line);
  Tick t;
  int speed, bpm;
  fields >> t.position[0] >> t.position[1] >> t.position[2] >> t.position[3] >> speed >> bpm;
  char bar;
  for (std::array<double, 3> c; fields >> bar >> c[0] >> c[1] >> c[2];) t.channels.push_back(c);
  return t;
}

// Plays the module against the trace's lines, compared with our own as xmplay --ticks prints
// them: the count of lines that differ, with the first of them, and both ends of the song.
struct Played {
  long channel_ticks = 0, differing = 0, differing_lines = 0;
  std::string first, end, ours_end;
};
Played play(std::istream& file, const xm::Module& module) {
  xm::Replayer replayer(module);
  Played p;
  long ticks = 0;
  for (std::string line; std::getline(file, line);) {
    if (line.starts_with("#")) {
      if (line.starts_with("# end:")) p.end = line;
      continue;
    }
    replayer.tick();
    ++ticks;
    const std::string ours = xm::tick_line(replayer, module.channels);
    const Tick ft2 = parse(line), our = parse(ours);
    bool same = std::equal(std::begin(ft2.position), std::end(ft2.position), our.position) &&
                ft2.channels.size() == our.channels.size();
    for (std::size_t ch = 0; ch < std::min(ft2.channels.size(), our.channels.size()); ++ch) {
      const auto [hz, volume, panning] = ft2.channels[ch];
      const auto [our_hz, our_volume, our_panning] = our.channels[ch];
      // A near-zero frequency has no cents.
      const bool alike = std::abs(volume - our_volume) <= 1 &&
                         (volume <= 1 || our_volume <= 1 ||
                          (hz > 0 && our_hz > 0 && std::abs(1200 * std::log2(our_hz / hz)) <= 1 &&
                           std::abs(panning - our_panning) <= 2));
      p.differing += alike ? 0 : 1;
      same = same && alike;
    }
    p.channel_ticks += static_cast<long>(ft2.channels.size());
    if (!same && p.differing_lines++ == 0)
      p.first = "tick " + std::to_string(ticks) + ":\n  FT2:  " + line + "\n  ours: " + ours;
  }
  p.ours_end = xm::end_line(xm::song_length(module, 44100));
  return p;
}

// Whole songs (ft2_traces) and songs cut short (cut_traces, which the loader must report).
class Ft2Trace : public testing::TestWithParam<fs::path> {};

TEST_P(Ft2Trace, EveryTickAsFastTracker2) {
  std::ifstream file(GetParam());
  std::string command;
  std::getline(file, command);
  Command c;
  ASSERT_TRUE(read_command(command, c)) << "no xm-generate command or file atop the trace";
  std::vector<std::uint8_t> bytes;
  if (c.file.empty()) {
    bytes = xmwrite::file_bytes(song_generator::generate_song(c.seed, c.shape));
  } else {
    std::ifstream song(GetParam().parent_path() / c.file, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(song), {});
  }
  if (c.cut != 0) bytes.resize(static_cast<std::size_t>(c.cut));
  const xm::LoadResult loaded = xm::load(bytes);
  ASSERT_TRUE(loaded.ok()) << loaded.message();
  EXPECT_EQ(c.cut != 0, !loaded.missing.empty()) << command << ": what is reported missing";
  const Played p = play(file, loaded.module);
  const std::string song = command.substr(2);
  EXPECT_EQ(p.differing_lines, 0) << song << ": " << p.differing << " of " << p.channel_ticks
                                  << " channel-ticks differ; the first line that differs is "
                                  << p.first;
  EXPECT_EQ(p.ours_end, p.end) << song << ": the song's length";
}

const auto name = [](const testing::TestParamInfo<fs::path>& p) {
  std::string stem = p.param.stem().string();
  std::replace(stem.begin(), stem.end(), '-', '_');
  return (std::isdigit(static_cast<unsigned char>(stem[0])) ? "seed_" : "") + stem;
};
INSTANTIATE_TEST_SUITE_P(Songs, Ft2Trace, testing::ValuesIn(trace_files(FT2_TRACES_DIR)), name);
INSTANTIATE_TEST_SUITE_P(Cuts, Ft2Trace, testing::ValuesIn(trace_files(CUT_TRACES_DIR)), name);

}  // namespace
