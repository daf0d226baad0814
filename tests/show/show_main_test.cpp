#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "render/framebuffer.h"
#include "show/assets.h"
#include "show/show_main.h"
#include "tests/show/test_assets.h"
#include "tests/show/timeline_model.h"
#include "tests/support/display_state_reset.h"
#include "tests/support/fake_platform.h"

namespace {

constexpr int presented_frames = 5202;

class ShowMain : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test_assets::clear_asset_buffers();
    directory_ = new test_assets::WorkingDirectory;
    directory_->write_all_assets();
  }
  static void TearDownTestSuite() {
    delete directory_;
    directory_ = nullptr;
  }

  // Everything the show keeps in static storage starts as at process start.
  void SetUp() override {
    test_assets::clear_asset_buffers();
    frame_counter = 0;
    reset_display_state();
    fake::reset();
  }

  // Runs the show to its end; the exit status, or -1 when show_main returned instead.
  static int run_show(int* returned = nullptr) {
    try {
      const int result = show_main();
      if (returned != nullptr) *returned = result;
      return -1;
    } catch (const fake::ProcessExit& exit) {
      return static_cast<int>(exit.code);
    }
  }

  static int count_after(const std::string& prefix, int from) {
    int n = 0;
    for (int i = fake::find_call(prefix, from); i >= 0; i = fake::find_call(prefix, i + 1)) ++n;
    return n;
  }

  static test_assets::WorkingDirectory* directory_;
};

test_assets::WorkingDirectory* ShowMain::directory_ = nullptr;

TEST_F(ShowMain, PresentsEveryFrameOfTheTimelineAndEndsAfterTheLast) {
  const std::vector<std::uint32_t> counters = timeline_model::presented_counters();
  ASSERT_EQ(counters.size(), static_cast<std::size_t>(presented_frames));
  int mismatches = 0;
  fake::on_flip([&](int index) {
    if (index >= presented_frames) {
      ++mismatches;
      return;
    }
    const std::uint32_t f = counters[static_cast<std::size_t>(index)];
    const std::vector<std::uint32_t>& expected = timeline_model::image(timeline_model::shown_at(f));
    const std::vector<std::uint8_t>& shown = fake::front_buffer();
    if (shown.size() != expected.size() * 4 ||
        std::memcmp(shown.data(), expected.data(), shown.size()) != 0) {
      if (++mismatches <= 5)
        ADD_FAILURE() << "presented frame " << index << " (counter " << f << ")";
    }
  });

  EXPECT_EQ(run_show(), 0);
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(fake::flip_count(), presented_frames);
  EXPECT_EQ(fake::count_calls("Lock"), presented_frames);
  EXPECT_EQ(frame_counter, 5502u);
  EXPECT_EQ(fake::count_calls("VIOLATION"), 0) << fake::call_log();

  // Start-up order: the display is fully open before the music starts, and the music before the
  // first frame.
  const int screen_saver_off = fake::find_call("SystemParametersInfoA(17,0");
  const int init = fake::find_call("BASSMOD_Init(-1,44100,48)");
  const int load = fake::find_call("BASSMOD_MusicLoad(0,theme2.xm,0,0,20)");
  const int play = fake::find_call("BASSMOD_MusicPlay()");
  const int first_pump = fake::find_call("PeekMessageA");
  ASSERT_GE(screen_saver_off, 0);
  EXPECT_LT(screen_saver_off, init);
  EXPECT_LT(init, load);
  EXPECT_LT(load, play);
  EXPECT_LT(play, first_pump);

  // The end: music freed, then the display closed, then the exit; nothing presented after.
  const int free_music = fake::find_call("BASSMOD_Free");
  ASSERT_GE(free_music, 0);
  EXPECT_EQ(fake::count_calls("BASSMOD_Free"), 1);
  const int release_surface = fake::find_call("Release(surface)", free_music);
  const int free_library = fake::find_call("FreeLibrary", free_music);
  const int exit_call = fake::find_call("ExitProcess(0)", free_music);
  EXPECT_LT(free_music, release_surface);
  EXPECT_LT(release_surface, free_library);
  EXPECT_LT(free_library, exit_call);
  EXPECT_EQ(exit_call, static_cast<int>(fake::calls().size()) - 1);
  EXPECT_EQ(count_after("Lock", free_music), 0);
  EXPECT_EQ(count_after("Flip", free_music), 0);
  EXPECT_EQ(count_after("PeekMessageA", free_music), 0);
  EXPECT_TRUE(fake::nothing_held());
}

TEST_F(ShowMain, FirstFrameIsBlackAndTheJumpSkipsToTheEndOfTheBars) {
  const std::vector<std::uint32_t>& black = timeline_model::image(timeline_model::Content::black);
  const std::vector<std::uint32_t>& bars =
      timeline_model::image(timeline_model::Content::raster_bars);
  std::vector<std::uint32_t> counter_at_flip;
  fake::on_flip([&](int index) {
    counter_at_flip.push_back(frame_counter);
    const std::vector<std::uint8_t>& shown = fake::front_buffer();
    if (index == 0) {
      EXPECT_EQ(0, std::memcmp(shown.data(), black.data(), shown.size()));
    }
    if (index == 2650) {
      EXPECT_EQ(0, std::memcmp(shown.data(), bars.data(), shown.size()));
    }
  });
  EXPECT_EQ(run_show(), 0);
  ASSERT_EQ(counter_at_flip.size(), static_cast<std::size_t>(presented_frames));
  // The pass that started at 2650 hands over with the counter already moved to 2950; the next
  // pass starts at 2951.
  EXPECT_EQ(counter_at_flip[2649], 2649u);
  EXPECT_EQ(counter_at_flip[2650], 2950u);
  EXPECT_EQ(counter_at_flip[2651], 2951u);
  EXPECT_EQ(counter_at_flip.back(), 5501u);
}

TEST_F(ShowMain, FailingDisplayReturnsOneWithoutAnyMusicCall) {
  fake::Script scripts[3];
  scripts[0].fail_load_library = true;
  scripts[1].accepted_depths = {};
  scripts[2].use_pixel_format = true;
  scripts[2].pixel_format.bit_count = 8;
  for (const fake::Script& script : scripts) {
    SetUp();
    fake::reset(script);
    int returned = -1;
    EXPECT_EQ(run_show(&returned), -1);
    EXPECT_EQ(returned, 1);
    EXPECT_EQ(fake::count_calls("BASSMOD"), 0) << fake::call_log();
    EXPECT_EQ(fake::count_calls("PeekMessageA"), 0);
    EXPECT_EQ(fake::count_calls("ExitProcess"), 0);
    EXPECT_TRUE(fake::nothing_held()) << fake::call_log();
  }
}

TEST_F(ShowMain, CounterAdvancesWhileTheApplicationIsInactive) {
  fake::Script script;
  script.activate_on_exclusive = false;
  fake::reset(script);
  EXPECT_EQ(run_show(), 0);
  EXPECT_EQ(frame_counter, 5502u);
  EXPECT_EQ(fake::flip_count(), 0);
  EXPECT_EQ(fake::count_calls("Sleep(1)"), presented_frames);
  EXPECT_EQ(fake::count_calls("Lock"), 0);
}

TEST_F(ShowMain, SwitchingAwayDropsFramesButNotTimelineSteps) {
  constexpr int away_passes = 50;
  int inactive_sleeps = 0;
  fake::on_flip([](int index) {
    if (index == 99) fake::post_message(WM_ACTIVATEAPP, 0);
  });
  fake::on_sleep([&](DWORD milliseconds) {
    if (milliseconds == 1 && ++inactive_sleeps == away_passes)
      fake::post_message(WM_ACTIVATEAPP, 1);
  });
  EXPECT_EQ(run_show(), 0);
  EXPECT_EQ(frame_counter, 5502u);
  EXPECT_EQ(inactive_sleeps, away_passes);
  EXPECT_EQ(fake::flip_count(), presented_frames - away_passes);
}

TEST_F(ShowMain, EscapeEndsTheShowDuringTheNextPass) {
  fake::on_flip([](int index) {
    if (index == 999) fake::post_message(WM_KEYDOWN, VK_ESCAPE);
  });
  EXPECT_EQ(run_show(), 0);
  EXPECT_EQ(fake::flip_count(), 1000);
  EXPECT_EQ(frame_counter, 1000u);  // the pass that met the key never finished
  const int free_music = fake::find_call("BASSMOD_Free");
  ASSERT_GE(free_music, 0);
  EXPECT_LT(free_music, fake::find_call("ExitProcess(0)"));
  EXPECT_EQ(count_after("Flip", free_music), 0);
}

using ShowMainDeathTest = ShowMain;

TEST_F(ShowMainDeathTest, TheProcessEndsWithStatusZeroAfterFreeingMusicAndDisplay) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  fake::Script script;
  script.exit_mode = fake::ExitMode::Exit;
  fake::reset(script);
  EXPECT_EXIT(show_main(), ::testing::ExitedWithCode(0),
              "BASSMOD_Free[^\n]*\n(Release\\(surface\\)[^\n]*\n)(.*\n)?FreeLibrary[^\n]*\n"
              "(.*\n)?ExitProcess\\(0\\)");
}

}  // namespace
