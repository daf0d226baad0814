// The four music calls on the player, heard through a recording sound output on the emulated
// platform: what they open, start and close, and what the output is given to play. (The show with
// no sound device: the e2e case to_end.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "music/bassmod.h"
#include "tests/music/test_song.h"
#include "tests/show/test_assets.h"
#include "tests/support/display_fixture.h"
#include "tests/support/recording_audio_output.h"

namespace {

constexpr std::size_t song_frames = 4 * 882 + 2 * 735;  // at 44.1 kHz: tests/music/test_song.h
const std::string opened = "audio open(44100)", started = "audio start()", closed = "audio close()";

class MusicCalls : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    audio::install_output(output);
    test_assets::write_file("theme2.xm", test_song());
  }
  void TearDown() override { BASSMOD_Free(); }

  test_assets::WorkingDirectory directory;
  RecordingAudioOutput output;
};

TEST_F(MusicCalls, SoundFromPlayLoopingUntilFreeFadesItOut) {
  EXPECT_EQ(BASSMOD_Init(-1, 44100, 48) + BASSMOD_MusicLoad(0, "theme2.xm", 0, 0, 20), 2);
  EXPECT_EQ(BASSMOD_MusicPlay(), 1);
  while (output.pulled.size() < 2 * 4 * song_frames) output.pull(441);
  std::thread device([this] {
    while (output.pull(64)) continue;
  });
  BASSMOD_Free();
  device.join();
  EXPECT_EQ(emulated::recorded_calls(), (std::vector{opened, started, closed}));

  // Left: sound at every frame once the notes are in, a fade with no step a listener hears as a
  // click against the level the notes hold after the first pass, then silence.
  const std::vector<std::int16_t>& left = output.pulled;
  const std::size_t from = 100, frames = left.size() / 2;
  std::size_t frame = from;
  int steepest = 0;
  for (; frame < frames && (frame == from || left[2 * frame - 2] != 0); ++frame) {
    steepest = std::max(steepest, std::abs(left[2 * frame] - left[2 * frame - 2]));
  }
  EXPECT_GE(frame, from + 4 * song_frames) << "the song did not sound on past its end";
  EXPECT_LE(steepest * 16, std::abs(left[2 * (from + song_frames)])) << "a click";
  for (; frame < frames; ++frame) ASSERT_EQ(left[2 * frame], 0) << frame;
}

// Every state the calls can be left in, and Free twice. Each case starts where the last one's Free
// left off, so that an Init or a load that works shows the Free before it gave everything back.
TEST_F(MusicCalls, FreeIsHarmlessInEveryState) {
  std::filesystem::create_directory("folder.xm");
  test_assets::write_file("invalid.xm", std::vector<std::uint8_t>(400, 'x'));
  struct Case {
    bool device, init, play;
    const char* file;
    int loaded;
    std::vector<std::string> calls;
  } const cases[] = {
      {true, false, true, "theme2.xm", 0, {}},  // never initialised
      {false, true, true, "theme2.xm", 0, {opened}},
      {true, true, true, "missing.xm", 0, {opened, closed}},
      {true, true, true, "invalid.xm", 0, {opened, closed}},
      {true, true, true, "folder.xm", 0, {opened, closed}},
      {true, true, false, "theme2.xm", 1, {opened, closed}},
      {true, true, true, "theme2.xm", 1, {opened, started, closed}},
  };
  for (const Case& c : cases) {
    start();
    output.device = c.device;
    EXPECT_EQ(c.init ? BASSMOD_Init(-1, 44100, 48) : 0, c.init && c.device ? 1 : 0) << c.file;
    EXPECT_EQ(BASSMOD_MusicLoad(0, c.file, 0, 0, 20), c.loaded) << c.file;
    EXPECT_EQ(c.play ? BASSMOD_MusicPlay() : c.loaded, c.loaded) << c.file;
    BASSMOD_Free();
    BASSMOD_Free();
    EXPECT_EQ(emulated::recorded_calls(), c.calls) << c.file;
  }
}

}  // namespace
