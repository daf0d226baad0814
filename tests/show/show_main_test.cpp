// The whole show on the emulated platform: every presented frame against the timeline model, the
// order of start-up and ending, and how the timeline keeps its pace when frames cannot be shown.
// (Escape and close requests: the display tests.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "render/framebuffer.h"
#include "show/assets.h"
#include "show/show_main.h"
#include "tests/show/test_assets.h"
#include "tests/show/timeline_model.h"
#include "tests/support/display_fixture.h"

namespace {

constexpr int presented_frames = 5202;

class ShowMain : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    directory_.write_all_assets();
    test_assets::clear_asset_buffers();
    frame_counter = 0;
    backend.keep_frames = false;
  }

  static std::size_t position(const std::string& call) {
    const std::vector<std::string>& all = emulated::recorded_calls();
    return static_cast<std::size_t>(std::find(all.begin(), all.end(), call) - all.begin());
  }

  test_assets::WorkingDirectory directory_;
};

TEST_F(ShowMain, PresentsEveryFrameOfTheTimelineAndEndsAfterTheLast) {
  const std::vector<std::uint32_t> counters = timeline_model::presented_counters();
  ASSERT_EQ(counters.size(), static_cast<std::size_t>(presented_frames));
  int mismatches = 0;
  std::vector<std::uint32_t> counter_at_flip;
  backend.on_present = [&](const emulated::Frame& frame) {
    const std::size_t index = counter_at_flip.size();
    counter_at_flip.push_back(frame_counter);
    if (index >= counters.size()) return;
    const std::vector<std::uint32_t>& expected =
        timeline_model::image(timeline_model::shown_at(counters[index]));
    if (frame.pitch != screen_width * 4 ||
        std::memcmp(frame.pixels, expected.data(), expected.size() * 4) != 0) {
      if (++mismatches <= 5) ADD_FAILURE() << "presented frame " << index;
    }
  };

  EXPECT_EQ(status_of(show_main), 0);
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(frame_counter, 5502u);
  // The pass that starts at 2650 hands over with the counter already moved on.
  ASSERT_EQ(counter_at_flip.size(), static_cast<std::size_t>(presented_frames));
  EXPECT_EQ(counter_at_flip[2650], 2950u);
  EXPECT_EQ(counter_at_flip.back(), 5501u);

  // The display is fully open before the music starts, and the music before the first frame.
  const std::size_t screen_saver_off = position("SystemParametersInfoA(17,0)");
  const std::size_t init = position("BASSMOD_Init(-1,44100,48)");
  EXPECT_LT(screen_saver_off, init);
  EXPECT_EQ(position("BASSMOD_MusicLoad(theme2.xm,0,0,20)"), init + 1);
  EXPECT_EQ(position("BASSMOD_MusicPlay()"), init + 2);
  EXPECT_EQ(count("Lock()", 0), presented_frames);
  EXPECT_LT(init + 2, position("Lock()"));

  // The end: the music freed, then the display closed, then the exit, and nothing after.
  EXPECT_EQ(calls_from(position("BASSMOD_Free()")), ending_calls());
  EXPECT_EQ(emulated::held(), emulated::Held{});
}

TEST_F(ShowMain, ADisplayThatCannotOpenReturnsOneWithoutMusic) {
  for (const emulated::Step step :
       {emulated::Step::load_library, emulated::Step::get_pixel_format}) {
    emulated::FaultPlan plan;
    plan.faults = {{step}};
    start(plan);
    EXPECT_EQ(status_of(show_main), -1 - 1);
    EXPECT_EQ(position("BASSMOD_Init(-1,44100,48)"), emulated::recorded_calls().size()) << log();
    EXPECT_EQ(emulated::held(), emulated::Held{});
  }
}

// Inactive passes present nothing but still step the timeline, so the show ends on time.
TEST_F(ShowMain, TheTimelineKeepsItsPaceWhileInactive) {
  struct Case {
    int away_from;  // presents before the show is switched away; -1: never active
    int away_passes;
  };
  for (const Case c : {Case{-1, presented_frames}, Case{100, 50}}) {
    SetUp();
    if (c.away_from < 0) backend.activate_on_exclusive = false;
    start();
    const auto inactive_sleeps = [&] {
      return static_cast<int>(std::count(backend.sleeps.begin(), backend.sleeps.end(), 1u));
    };
    backend.on_present = [&](const emulated::Frame&) {
      if (backend.presents == c.away_from) emulated::post_message(WM_ACTIVATEAPP, 0);
    };
    backend.on_poll = [&] {
      if (c.away_from >= 0 && inactive_sleeps() == c.away_passes && display_active == 0) {
        emulated::post_message(WM_ACTIVATEAPP, 1);
      }
    };
    EXPECT_EQ(status_of(show_main), 0);
    EXPECT_EQ(frame_counter, 5502u);
    EXPECT_EQ(inactive_sleeps(), c.away_passes);
    EXPECT_EQ(backend.presents, presented_frames - c.away_passes);
  }
}

}  // namespace
