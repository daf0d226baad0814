// The real show-capture's sound track against the player's own render of the song, and a track that
// cannot be written.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/show/test_assets.h"
#include "xm/load.h"
#include "xm/player.h"

namespace {

namespace fs = std::filesystem;
constexpr std::size_t presented = 5202, sound_per_frame = 735, track = presented * sound_per_frame;

std::vector<std::uint8_t> read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Runs a command with the shell: its exit status and all it wrote.
std::pair<int, std::string> shell(const std::string& command) {
  std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  std::string output;
  char buffer[65536];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;) {
    output.append(buffer, got);
  }
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::pair<int, std::string> capture(const std::string& arguments) {
  return shell(std::string(SHOW_CAPTURE_EXECUTABLE) + " " + arguments);
}

// The song as the music calls play it, rendered by the player on its own for the whole show.
std::vector<std::int16_t> song_render() {
  const std::vector<std::uint8_t> bytes = read_file(SHOW_THEME_XM);
  xm::LoadResult loaded = xm::load(bytes);
  EXPECT_TRUE(loaded.ok());
  xm::Player player(loaded.module, {.rate = 44100, .loop = true});
  std::vector<std::int16_t> samples(track * 2);
  EXPECT_EQ(player.render(samples.data(), track), track);
  return samples;
}

// Little-endian 16-bit samples as bytes.
std::vector<std::uint8_t> as_bytes(const std::vector<std::int16_t>& samples) {
  std::vector<std::uint8_t> bytes;
  for (std::int16_t s : samples) {
    bytes.push_back(static_cast<std::uint8_t>(s));
    bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(s) >> 8));
  }
  return bytes;
}

class CaptureMedia : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_.write_all_assets();
    fs::copy_file(SHOW_THEME_XM, "theme2.xm");
  }
  test_assets::WorkingDirectory directory_;
};

TEST_F(CaptureMedia, TheSoundTrackIsTheSongAsThePlayerRendersItForEveryFrame) {
  ASSERT_EQ(capture("--wav song.wav"), std::pair(0, std::string()));
  const std::vector<std::uint8_t> wav = read_file("song.wav");
  ASSERT_EQ(wav.size(), 44 + track * 4);
  const std::uint8_t format[] = {1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0};
  EXPECT_EQ(std::memcmp(&wav[20], format, sizeof(format)), 0);
  EXPECT_TRUE(std::vector<std::uint8_t>(wav.begin() + 44, wav.end()) == as_bytes(song_render()));
}

TEST_F(CaptureMedia, ASoundTrackThatCannotBeWrittenEndsWithFourAndLeavesNothing) {
  fs::create_directory("song.wav");  // a directory cannot be replaced by the track
  const auto [status, output] = capture("--wav song.wav");
  EXPECT_EQ(status, 4);
  EXPECT_EQ(output, "show-capture: cannot write song.wav: Is a directory\n");
  EXPECT_TRUE(fs::is_empty("song.wav"));
  for (const auto& entry : fs::directory_iterator(".")) {
    EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
  }
}

}  // namespace
