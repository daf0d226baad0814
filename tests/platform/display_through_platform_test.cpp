// The display code on the emulated platform: opened for each offered layout it picks the matching
// converter, and a presented frame reads back as the framebuffer truncated to the layout.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "display/display.h"
#include "display/display_state.h"
#include "tests/platform/platform_fixture.h"
#include "tests/support/display_state_reset.h"
#include "tests/support/layout_oracle.h"

namespace {

using emulated::Layout;

PixelConverter converter_for(Layout layout) {
  switch (layout) {
    case Layout::xrgb8888:
      return convert_row_xrgb8888;
    case Layout::xbgr8888:
      return convert_row_xbgr8888;
    case Layout::rgb888:
      return convert_row_rgb888;
    case Layout::bgr888:
      return convert_row_bgr888;
    case Layout::rgb565:
      return convert_row_rgb565;
    case Layout::bgr565:
      return convert_row_bgr565;
    case Layout::rgb555:
      return convert_row_rgb555;
    case Layout::bgr555:
      return convert_row_bgr555;
  }
  return nullptr;
}

// Distinct pixels with all four bytes in use, as pictures read from files have.
std::vector<std::uint32_t> make_frame(int width, int height) {
  std::vector<std::uint32_t> frame(static_cast<std::size_t>(width * height));
  std::uint32_t state = 0x2545F491u;
  for (std::uint32_t& pixel : frame) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    pixel = state;
  }
  return frame;
}

class DisplayThroughPlatform : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    reset_display_state();
    backend.activate_on_exclusive = true;
  }
};

TEST_F(DisplayThroughPlatform, EveryLayoutOpensWithItsConverterAndShowsTheFrame) {
  constexpr int width = 37;  // not a whole number of converter blocks
  constexpr int height = 5;
  const std::vector<std::uint32_t> frame = make_frame(width, height);
  for (const layout_oracle::Entry& e : layout_oracle::entries()) {
    SCOPED_TRACE(e.name);
    install_screen({e.layout}, 3);
    reset_display_state();
    backend.frames.clear();
    backend.screen_saver = true;
    ASSERT_EQ(display_open("test", width, height), 1);
    EXPECT_EQ(row_converter, converter_for(e.layout));
    EXPECT_FALSE(backend.screen_saver);
    ASSERT_EQ(display_update(frame.data()), 1);
    ASSERT_EQ(backend.frames.size(), 1u);

    const PresentedFrame& shown = backend.frames[0];
    EXPECT_EQ(shown.layout, e.layout);
    EXPECT_EQ(shown.pitch, width * e.bytes + 3);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        std::uint32_t value = 0;
        const std::size_t at = static_cast<std::size_t>(y * shown.pitch + x * e.bytes);
        for (int b = 0; b < e.bytes; ++b) value |= std::uint32_t{shown.bytes[at + b]} << (8 * b);
        const std::uint32_t source = frame[static_cast<std::size_t>(y * width + x)];
        ASSERT_EQ(layout_oracle::read_back(value, e.layout), layout_oracle::shown(source, e.layout))
            << "row " << y << " column " << x;
      }
    }

    display_close();
    EXPECT_TRUE(backend.screen_saver);
    EXPECT_EQ(emulated::display_window_handle(), nullptr);
    EXPECT_EQ(backend.events.back(), "shared");
  }
}

TEST_F(DisplayThroughPlatform, NoDepthOfferedMeansNoDisplay) {
  install_screen({});
  EXPECT_EQ(display_open("test", 64, 40), 0);
  EXPECT_TRUE(backend.frames.empty());
}

TEST_F(DisplayThroughPlatform, AnInactiveShowPresentsNothingAndSleeps) {
  backend.activate_on_exclusive = false;
  const std::vector<std::uint32_t> frame = make_frame(8, 2);
  ASSERT_EQ(display_open("test", 8, 2), 1);
  EXPECT_EQ(display_update(frame.data()), 1);
  EXPECT_TRUE(backend.frames.empty());
  EXPECT_EQ(backend.sleeps, std::vector<DWORD>{1});
  emulated::post_message(WM_ACTIVATEAPP, 1);
  EXPECT_EQ(display_update(frame.data()), 1);
  EXPECT_EQ(backend.frames.size(), 1u);
  EXPECT_EQ(backend.sleeps, (std::vector<DWORD>{1, 0}));
  display_close();
}

TEST_F(DisplayThroughPlatform, EscapeClosesTheDisplayAndEndsTheProcess) {
  const std::vector<std::uint32_t> frame = make_frame(8, 2);
  ASSERT_EQ(display_open("test", 8, 2), 1);
  EXPECT_EQ(display_update(frame.data()), 1);
  emulated::post_message(WM_KEYDOWN, VK_ESCAPE);
  backend.events.clear();
  try {
    display_update(frame.data());
    ADD_FAILURE() << "display_update returned after Escape";
  } catch (const ProcessEnded& ended) {
    EXPECT_EQ(ended.code, 0u);
  }
  EXPECT_EQ(backend.frames.size(), 1u);
  EXPECT_EQ(backend.events, (std::vector<std::string>{"mode restored", "shared"}));
  EXPECT_EQ(emulated::display_window_handle(), nullptr);
}

}  // namespace
