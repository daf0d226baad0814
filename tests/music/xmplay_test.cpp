// The player tool's command line, its --ticks lines for the test song worked by hand from
// FastTracker 2's rules, and its WAV files' headers and lengths.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
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
    {{"--interpolation=nearest", "--ticks", "a.xm"}, "--ticks takes no"},
    {{"--ticks", "a.xm"}, "", {.mode = Mode::ticks, .module_path = "a.xm"}},
    {{"--help", "--bogus"}, "", {.help = true}},
    {{}, "no module file"},
    {{"--rate", "7999", "a.xm"}, "--rate takes 8000 to 96000, not '7999'"},
    {{"--rate", "4410O", "a.xm"}, "not '4410O'"},
    {{"--interpolation=sinc", "a.xm"}, "not 'sinc'"},
    {{"--wav", "o.wav", "--ticks", "a.xm"}, "exclude each other"},
    {{"--loop", "--wav=o.wav", "a.xm"}, "--loop only plays"},
    {{"a.xm", "b.xm"}, "a second file 'b.xm'"},
    {{"--bogus", "a.xm"}, "unknown option '--bogus'"},
    {{"a.xm", "--wav"}, "--wav needs a value"},
    {{"--rate=8000", "--rate", "8000", "a.xm"}, "--rate given twice"},
};

TEST(XmplayOptions, EveryCommandLine) {
  for (const OptionsCase& c : options_cases) {
    const xmplay::Parsed parsed = xmplay::parse(c.arguments);
    const std::string line = testing::PrintToString(c.arguments);
    if (*c.error == '\0') {
      EXPECT_EQ(parsed.error, "") << line;
      EXPECT_TRUE(parsed.options == c.options) << line;
    } else {
      EXPECT_NE(parsed.error.find(c.error), std::string::npos) << line << ": " << parsed.error;
    }
  }
}

xm::Module loaded_test_song() { return xm::load(test_song()).module; }

// C-4 plays at 8363 Hz, an octave up at twice that; the volume column and Cxx set the volume on
// tick 0, A04 takes 4 on each later tick; F96 sets 150 BPM, whose ticks last 735 frames at 44.1 kHz
// against 882 at 125 BPM: (4 * 882 + 2 * 735) / 44100 s.
TEST(XmplayTicks, TheTestSongTickByTick) {
  char* text = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  xmplay::write_ticks(loaded_test_song(), 44100, out);
  std::fclose(out);
  EXPECT_STREQ(text,
               "0 0 0 0 2 125 | 8363.00 48 64 | 16726.00 32 192\n"
               "0 0 0 1 2 125 | 8363.00 48 64 | 16726.00 32 192\n"
               "0 0 1 0 2 125 | 8363.00 48 64 | 16726.00 16 192\n"
               "0 0 1 1 2 125 | 8363.00 44 64 | 16726.00 16 192\n"
               "1 1 0 0 2 150 | 8363.00 44 64 | 16726.00 16 192\n"
               "1 1 0 1 2 150 | 8363.00 44 64 | 16726.00 16 192\n"
               "# end: ticks=6 duration_s=0.113\n");
  std::free(text);
}

// Frames a tick: floor(rate * 2.5 / BPM); four ticks at 125 BPM and two at 150.
TEST(XmplayWav, HeaderAndLengthAtEachRate) {
  const std::filesystem::path directory = testing::TempDir();
  const xm::Module song = loaded_test_song();
  for (const auto& [rate, frames] : {std::pair{44100u, 4998u}, {22050u, 2498u}, {48000u, 5440u}}) {
    const std::string path = directory / "song.wav";
    std::string error;
    ASSERT_TRUE(xmplay::write_wav(song, {.rate = static_cast<int>(rate)}, path, error)) << error;
    std::ifstream file(path, std::ios::binary);
    const std::vector<unsigned char> bytes(std::istreambuf_iterator<char>(file), {});
    ASSERT_EQ(bytes.size(), 44 + 4 * frames) << rate;
    const auto u16 = [&](int at) { return std::uint32_t(bytes[at] | bytes[at + 1] << 8); };
    const auto u32 = [&](int at) { return u16(at) | u16(at + 2) << 16; };
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.substr(0, 4) + text.substr(8, 8) + text.substr(36, 4), "RIFFWAVEfmt data");
    EXPECT_EQ((std::vector{u32(4), u32(16), u16(20), u16(22), u32(24), u32(28), u16(32), u16(34),
                           u32(40)}),
              (std::vector{36 + 4 * frames, 16u, 1u, 2u, rate, 4 * rate, 4u, 16u, 4 * frames}));
    EXPECT_NE(text.find_first_not_of('\0', 44), std::string::npos) << "silent at " << rate;
  }
  std::string error;
  EXPECT_FALSE(xmplay::write_wav(song, {}, directory / "missing" / "song.wav", error));
  EXPECT_NE(error, "");
}

}  // namespace
