// The player tool's command line, and its WAV files' headers and lengths.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/music/test_song.h"
#include "tools/xmplay/song_files.h"
#include "tools/xmplay/xmplay_options.h"
#include "xm/load.h"

namespace {

using xmplay::Mode;

struct OptionsCase {
  std::vector<const char*> arguments;
  const char* error;  // a part of the message, or "" when accepted as `options`
  xmplay::Options options{};
};

const OptionsCase options_cases[] = {
    {{"a.xm"}, "", {.module_path = "a.xm"}},
    {{"--loop", "--rate=8000", "a.xm"}, "", {.module_path = "a.xm", .rate = 8000, .loop = true}},
    {{"--wav", "o.wav", "--interpolation", "cubic", "--rate", "96000", "a.xm"},
     "",
     {Mode::wav, "a.xm", "o.wav", 96000, xm::Interpolation::cubic}},
    {{"--ticks", "a.xm"}, "", {.mode = Mode::ticks, .module_path = "a.xm"}},
    {{"--ticks", "--rate", "8000", "a.xm"}, "--ticks takes no"},
    {{"--help", "--bogus"}, "", {.help = true}},
    {{}, "no module file"},
    {{"--rate", "7999", "a.xm"}, "--rate takes 8000 to 96000, not '7999'"},
    {{"--interpolation=sinc", "a.xm"}, "not 'sinc'"},
    {{"--wav", "o.wav", "--ticks", "a.xm"}, "exclude each other"},
    {{"--loop", "--wav=o.wav", "a.xm"}, "--loop only plays"},
    {{"a.xm", "b.xm"}, "a second file 'b.xm'"},
    {{"--bogus", "a.xm"}, "unknown option '--bogus'"},
    {{"a.xm", "--rate"}, "--rate needs a value"},
};

TEST(XmplayOptions, EveryCommandLine) {
  for (const OptionsCase& c : options_cases) {
    const xmplay::Parsed parsed = xmplay::parse(c.arguments);
    EXPECT_NE(parsed.error.find(c.error), std::string::npos) << parsed.error;
    EXPECT_TRUE(*c.error != '\0' || (parsed.error.empty() && parsed.options == c.options))
        << testing::PrintToString(c.arguments);
  }
}

xm::Module loaded_test_song() { return xm::load(test_song()).module; }

// Frames a tick: floor(rate * 2.5 / BPM); four ticks at 125 BPM and two at 150.
TEST(XmplayWav, HeaderAndLengthAtEachRate) {
  const std::filesystem::path directory = testing::TempDir();
  const xm::Module song = loaded_test_song();
  std::string error;
  for (const auto& [rate, frames] : {std::pair{44100u, 4998u}, {22050u, 2498u}, {48000u, 5440u}}) {
    ASSERT_TRUE(xmplay::write_wav(song, {.rate = int(rate)}, directory / "song.wav", error));
    std::ifstream file(directory / "song.wav", std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(file), {});
    ASSERT_EQ(bytes.size(), 44 + 4 * frames) << rate;
    const auto u = [&](int at, int size) {  // little-endian
      std::uint32_t value = 0;
      while (size-- > 0) value = value << 8 | std::uint8_t(bytes[at + size]);
      return value;
    };
    EXPECT_EQ(bytes.substr(0, 4) + bytes.substr(8, 8) + bytes.substr(36, 4), "RIFFWAVEfmt data");
    EXPECT_EQ((std::vector{u(4, 4), u(16, 4), u(20, 2), u(22, 2), u(24, 4), u(28, 4), u(32, 2),
                           u(34, 2), u(40, 4)}),
              (std::vector{36 + 4 * frames, 16u, 1u, 2u, rate, 4 * rate, 4u, 16u, 4 * frames}));
  }
}

}  // namespace
