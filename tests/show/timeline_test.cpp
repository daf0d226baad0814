#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

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
  std::vector<std::uint32_t> counters(5503);
  for (std::uint32_t f = 0; f < counters.size(); ++f) counters[f] = f;
  counters.insert(counters.end(), {100000u, 0xFFFFFFFFu});
  for (const std::uint32_t f : counters) {
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
