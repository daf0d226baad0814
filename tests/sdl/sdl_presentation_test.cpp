// Frames of the real display code through the emulated screen and the SDL backend, read back from
// the renderer: for every screen layout, each screen pixel becomes a square of the largest whole
// scale that fits the window, centred, black around it, its colour what the layout can hold.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "display/display.h"
#include "platform/emulated/emulated_platform.h"
#include "platform/sdl/sdl_backend.h"
#include "tests/sdl/sdl_fixture.h"
#include "tests/support/layout_oracle.h"

namespace {

using emulated::Layout;

constexpr int width = 640;
constexpr int height = 400;

// Random colours with byte 3 set (the display must ignore it), and the channel extremes in the
// first row.
std::vector<std::uint32_t> test_frame(unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::uint32_t> frame(static_cast<std::size_t>(width) * height);
  for (std::uint32_t& pixel : frame) pixel = static_cast<std::uint32_t>(random());
  const std::uint32_t extremes[] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF,
                                    0x070307, 0xF8FCF8, 0x808080, 0x7F7F7F};
  for (std::size_t i = 0; i < std::size(extremes); ++i) frame[i] = extremes[i];
  return frame;
}

class SdlPresentation : public NoDisplaySdl {
 protected:
  // The window as the renderer has it, as 0x00RRGGBB.
  static std::vector<std::uint32_t> read_window(SDL_Renderer* renderer, int& area_width,
                                                int& area_height) {
    SDL_GetRendererOutputSize(renderer, &area_width, &area_height);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(area_width) * area_height);
    if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB888, pixels.data(),
                             area_width * 4) != 0) {
      ADD_FAILURE() << SDL_GetError();
    }
    for (std::uint32_t& pixel : pixels) pixel &= 0xFFFFFFu;
    return pixels;
  }

  // Shows `frame` through display_open and display_update on a screen offering only `layout`
  // and checks every pixel of a window resized to area_width x area_height.
  void check_frame(Layout layout, int row_padding, int window_width, int window_height, int scale,
                   int x0, int y0) {
    sdl_platform::Settings settings = windowed(2);
    settings.screen.layouts = {layout};
    settings.screen.row_padding = row_padding;
    sdl_platform::SdlBackend backend(settings);
    ASSERT_TRUE(backend.ok()) << backend.error();
    emulated::install(backend, settings.screen);
    ASSERT_EQ(display_open("test", width, height), 1);
    SDL_SetWindowSize(backend.window(), window_width, window_height);
    emulated::send_message(WM_ACTIVATEAPP, 1);

    const std::vector<std::uint32_t> frame = test_frame(static_cast<unsigned>(layout) + 1);
    ASSERT_EQ(display_update(frame.data()), 1);
    int area_width = 0;
    int area_height = 0;
    const std::vector<std::uint32_t> shown =
        read_window(backend.renderer(), area_width, area_height);
    display_close();
    ASSERT_EQ(area_width, window_width);
    ASSERT_EQ(area_height, window_height);

    int wrong = 0;
    for (int y = 0; y < area_height && wrong < 10; ++y) {
      for (int x = 0; x < area_width && wrong < 10; ++x) {
        const int sx = x - x0;
        const int sy = y - y0;
        const bool inside = sx >= 0 && sy >= 0 && sx < width * scale && sy < height * scale;
        const std::uint32_t expected =
            inside ? layout_oracle::shown(
                         frame[static_cast<std::size_t>(sy / scale) * width + sx / scale], layout)
                   : 0u;
        const std::uint32_t got = shown[static_cast<std::size_t>(y) * area_width + x];
        if (got != expected) {
          ++wrong;
          ADD_FAILURE() << "layout " << emulated::layout_info(layout).name << " at (" << x << ", "
                        << y << "): " << std::hex << got << " instead of " << expected;
        }
      }
    }
  }
};

TEST_F(SdlPresentation, EveryLayoutShowsThePictureScaledAndCentredWithBlackAround) {
  // 1400x900 takes scale 2 (1280x800) with 60 columns and 50 rows of black on each side.
  for (const layout_oracle::Entry& e : layout_oracle::entries()) {
    check_frame(e.layout, 0, 1400, 900, 2, 60, 50);
  }
}

TEST_F(SdlPresentation, SurfaceRowsLongerThanTheirPixelsAreReadByTheirPitch) {
  for (const layout_oracle::Entry& e : layout_oracle::entries()) {
    check_frame(e.layout, 12, 640, 400, 1, 0, 0);
  }
  check_frame(Layout::rgb888, 1, 640, 400, 1, 0, 0);  // 24-bit rows at an odd pitch
}

TEST_F(SdlPresentation, AWindowSmallerThanTheScreenShowsItsMiddle) {
  check_frame(Layout::xrgb8888, 0, 600, 300, 1, -20, -50);
}

TEST_F(SdlPresentation, TheWindowOpensAtTheScreenSizeTimesTheScale) {
  for (int scale : {1, 3}) {
    sdl_platform::Settings settings = windowed(scale);
    sdl_platform::SdlBackend backend(settings);
    ASSERT_TRUE(backend.ok()) << backend.error();
    emulated::install(backend, settings.screen);
    ASSERT_EQ(display_open("test", width, height), 1);
    int window_width = 0;
    int window_height = 0;
    SDL_GetWindowSize(backend.window(), &window_width, &window_height);
    EXPECT_EQ(window_width, width * scale);
    EXPECT_EQ(window_height, height * scale);
    EXPECT_STREQ(SDL_GetWindowTitle(backend.window()), "test");
    EXPECT_NE(SDL_GetWindowFlags(backend.window()) & SDL_WINDOW_SHOWN, 0u);
    display_close();
    EXPECT_EQ(SDL_GetWindowFlags(backend.window()) & SDL_WINDOW_SHOWN, 0u);
  }
}

}  // namespace
