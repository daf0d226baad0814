// The four music calls on the player, heard through a recording sound output on the emulated
// platform: what they open, start and close, what the output is given to play, and the whole show
// with and without a sound device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "music/bassmod.h"
#include "show/show_main.h"
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
    output.device = true;
    output.pulled.clear();
    audio::install_output(output);
    test_assets::write_file("theme2.xm", test_song());
  }
  void TearDown() override { BASSMOD_Free(); }

  // Pulls as a device's thread would until the output is closed.
  void free_while_pulling() {
    std::thread device([this] {
      while (output.pull(64)) {
      }
    });
    BASSMOD_Free();
    device.join();
  }

  test_assets::WorkingDirectory directory;
  RecordingAudioOutput output;
};

// Left samples from `from` on: sound at every frame, then a fade with no step a listener hears as
// a click (against the level the notes hold after the song's first pass), then silence to the end.
void expect_sound_then_fade(const std::vector<std::int16_t>& pulled, std::size_t from) {
  const std::size_t frames = pulled.size() / 2;
  std::size_t frame = from;
  while (frame < frames && pulled[2 * frame] != 0) ++frame;
  int steepest = 0;  // up to the first silent frame
  for (std::size_t i = from; i < std::min(frame + 1, frames); ++i) {
    steepest = std::max(steepest, std::abs(pulled[2 * i] - pulled[2 * i - 2]));
  }
  EXPECT_GE(frame, from + 3 * song_frames) << "the song did not sound on past its end";
  EXPECT_LE(steepest * 16, std::abs(pulled[2 * (from + song_frames)])) << "a click";
  for (; frame < frames; ++frame) ASSERT_EQ(pulled[2 * frame], 0) << frame;
}

TEST_F(MusicCalls, SoundFromPlayLoopingUntilFreeFadesItOut) {
  EXPECT_EQ(BASSMOD_Init(-1, 44100, 48), 1);
  EXPECT_EQ(BASSMOD_MusicLoad(0, "theme2.xm", 0, 0, 20), 1);
  ASSERT_TRUE(output.pull(500));
  EXPECT_TRUE(
      std::all_of(output.pulled.begin(), output.pulled.end(), [](auto s) { return s == 0; }));
  EXPECT_EQ(BASSMOD_MusicPlay(), 1);
  while (output.pulled.size() < 2 * (500 + 4 * song_frames)) output.pull(441);
  free_while_pulling();
  EXPECT_EQ(emulated::recorded_calls(), (std::vector{opened, started, closed}));
  expect_sound_then_fade(output.pulled, 600);
}

// Every state the calls can be left in: Free (twice) gives back what was taken, and the calls
// then work from the start again.
TEST_F(MusicCalls, FreeIsHarmlessInEveryState) {
  struct Case {
    const char* name;
    bool device, init, play;
    const char* file;
    int loaded;
    std::vector<std::string> calls;
  };
  std::filesystem::create_directory("folder.xm");
  test_assets::write_file("invalid.xm", std::vector<std::uint8_t>(400, 'x'));
  const Case cases[] = {
      {"never initialised", true, false, true, "theme2.xm", 0, {}},
      {"no device", false, true, true, "theme2.xm", 0, {opened}},
      {"missing file", true, true, true, "missing.xm", 0, {opened, closed}},
      {"invalid file", true, true, true, "invalid.xm", 0, {opened, closed}},
      {"directory", true, true, true, "folder.xm", 0, {opened, closed}},
      {"loaded, never played", true, true, false, "theme2.xm", 1, {opened, closed}},
      {"played", true, true, true, "theme2.xm", 1, {opened, started, closed}},
  };
  for (const Case& c : cases) {
    start();
    output.device = c.device;
    EXPECT_EQ(c.init ? BASSMOD_Init(-1, 44100, 48) : 0, c.init && c.device ? 1 : 0) << c.name;
    EXPECT_EQ(BASSMOD_MusicLoad(0, c.file, 0, 0, 20), c.loaded) << c.name;
    EXPECT_EQ(c.play ? BASSMOD_MusicPlay() : c.loaded, c.loaded) << c.name;
    BASSMOD_Free();
    BASSMOD_Free();
    EXPECT_EQ(emulated::recorded_calls(), c.calls) << c.name;
    output.device = true;
    EXPECT_EQ(BASSMOD_Init(-1, 44100, 48) + BASSMOD_MusicLoad(0, "theme2.xm", 0, 0, 20) +
                  BASSMOD_MusicPlay(),
              3)
        << c.name;
    BASSMOD_Free();
  }
}

// The device pulls a 60th of a second at each present. The music starts after the display is
// open and before the first frame, and stops before the display closes.
TEST_F(MusicCalls, TheWholeShowWithAndWithoutASoundDevice) {
  directory.write_all_assets();
  for (const bool device : {true, false}) {
    SetUp();
    output.device = device;
    test_assets::clear_asset_buffers();
    frame_counter = 0;
    backend.keep_frames = false;
    backend.on_present = [this](const emulated::Frame&) { output.pull(735); };
    try {
      show_main();
      ADD_FAILURE() << "the show returned";
    } catch (const ProcessEnded& ended) {
      EXPECT_EQ(ended.code, 0u);
    }
    EXPECT_EQ(frame_counter, 5502u);
    const std::vector<std::string>& all = emulated::recorded_calls();
    const auto at = [&](const std::string& call) {
      return std::find(all.begin(), all.end(), call);
    };
    EXPECT_LT(at("SystemParametersInfoA(17,0)"), at(opened));
    if (!device) {
      EXPECT_EQ(at(started), all.end());
      EXPECT_EQ(output.pulled.size(), 0u);
      continue;
    }
    EXPECT_EQ(at(started), at(opened) + 1);
    EXPECT_LT(at(started), at("Lock()"));
    std::vector<std::string> ending = closing_calls(TRUE);
    ending.insert(ending.begin(), closed);
    ending.push_back("ExitProcess(0)");
    EXPECT_EQ(std::vector<std::string>(at(closed), all.end()), ending);
    expect_sound_then_fade(output.pulled, 100);
  }
}

}  // namespace
