#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "render/framebuffer.h"
#include "show/assets.h"
#include "show/show_main.h"
#include "show/timeline.h"
#include "tests/show/test_assets.h"
#include "tests/show/timeline_model.h"

namespace {

using timeline_model::Content;

constexpr std::uint32_t sentinel = 0x5A5A5A5Au;

class Timeline : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test_assets::clear_asset_buffers();
    test_assets::WorkingDirectory directory;
    directory.write_all_assets();
    load_assets();
  }

  void SetUp() override { frame_counter = 0; }

  // Runs draw_scene at f over a framebuffer holding the sentinel.
  static void draw_at(std::uint32_t f) {
    std::fill(framebuffer, framebuffer + screen_pixels, sentinel);
    frame_counter = f;
    draw_scene();
  }

  static bool framebuffer_is(const std::vector<std::uint32_t>& image) {
    return std::memcmp(framebuffer, image.data(), screen_pixels * 4) == 0;
  }

  static bool framebuffer_untouched() {
    return std::all_of(framebuffer, framebuffer + screen_pixels,
                       [](std::uint32_t p) { return p == sentinel; });
  }
};

TEST_F(Timeline, EveryCounterValueDrawsWhatTheSceneTableSays) {
  for (std::uint32_t f = 0; f <= 5502; ++f) {
    draw_at(f);
    const Content expected = timeline_model::drawn_at(f);
    if (expected == Content::nothing) {
      ASSERT_TRUE(framebuffer_untouched()) << "frame " << f << " drew something";
    } else {
      ASSERT_TRUE(framebuffer_is(timeline_model::image(expected))) << "frame " << f;
    }
    ASSERT_EQ(frame_counter, f == 2650 ? 2950u : f) << "frame " << f;
  }
}

TEST_F(Timeline, FarCounterValuesDrawNothing) {
  for (std::uint32_t f : {5500u, 5501u, 5502u, 100000u, 0xFFFFFFFFu}) {
    draw_at(f);
    EXPECT_TRUE(framebuffer_untouched()) << f;
    EXPECT_EQ(frame_counter, f);
  }
}

TEST_F(Timeline, CaptionsCoverOnlyTheirBand) {
  struct Case {
    std::uint32_t f;
    const std::uint32_t* picture;
    int y;
  };
  for (const Case& c :
       {Case{152, logo_image, 300}, Case{452, presents_image, 300}, Case{752, title_image, 180}}) {
    draw_at(c.f);
    for (int y = 0; y < screen_height; ++y) {
      for (int x = 0; x < screen_width; ++x) {
        const bool band = y >= c.y && y < c.y + 16 && x >= 180 && x < 500;
        const std::uint32_t p = framebuffer[y * screen_width + x];
        if (band) {
          ASSERT_TRUE(p == 0u || p == 0xFFFFFFu) << c.f << " " << x << "," << y;
        } else {
          ASSERT_EQ(p, c.picture[y * screen_width + x]) << c.f << " " << x << "," << y;
        }
      }
    }
  }
}

TEST_F(Timeline, HandOverContentFollowsTheDrawingOfEarlierPasses) {
  // Replays the loop's order of counter values with draw_scene alone and checks the framebuffer
  // against the model's table of what each presented frame holds.
  std::fill(framebuffer, framebuffer + screen_pixels, 0u);
  frame_counter = 0;
  for (std::uint32_t expected : timeline_model::presented_counters()) {
    draw_scene();
    ASSERT_EQ(frame_counter, expected == 2650 ? 2950u : expected);
    ASSERT_TRUE(framebuffer_is(timeline_model::image(timeline_model::shown_at(expected))))
        << "frame " << expected;
    ++frame_counter;
  }
  EXPECT_EQ(frame_counter, 5502u);
}

TEST(MessageLines, AreFortyPrintableCharactersWithinTheFont) {
  for (const char* line : message_lines) {
    ASSERT_EQ(std::strlen(line), 40u) << '"' << line << '"';
    for (int i = 0; i < 40; ++i) {
      EXPECT_GE(line[i], 32) << line;
      EXPECT_LE(line[i], 90) << line;
    }
  }
}

}  // namespace
