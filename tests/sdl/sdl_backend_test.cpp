// The SDL backend with no display (the dummy video driver and the software renderer): SDL events
// as the show window's messages, the full-screen toggle the show never sees, the cursor and the
// screen saver, and frames of the real display code read back from the renderer.
#include "platform/sdl/sdl_backend.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "display/display.h"
#include "tests/platform/platform_fixture.h"
#include "tests/support/layout_oracle.h"

namespace {

using emulated::Layout;

SDL_Event key(Uint32 type, SDL_Keycode sym, Uint16 modifiers = KMOD_NONE, Uint8 repeat = 0) {
  SDL_Event event = {type};
  event.key.repeat = repeat;
  event.key.keysym.sym = sym;
  event.key.keysym.mod = modifiers;
  return event;
}

class SdlBackend : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  }
  static void TearDownTestSuite() { SDL_Quit(); }

  // A window three times the screen's size, flips that do not wait, no trace.
  static sdl_platform::Settings settings(Layout layout, int padding, bool windowed = true) {
    return {{{layout}, padding}, windowed, 3, 0, false};
  }
};

TEST_F(SdlBackend, EventsBecomeTheShowWindowsMessagesButForTheFullScreenToggle) {
  sdl_platform::SdlBackend backend(settings(Layout::rgb565, 0, false));
  ASSERT_TRUE(backend.ok()) << backend.error();
  emulated::install(backend, {});
  const HWND window = make_window();
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);  // hidden from the start
  auto flags = [&] { return SDL_GetWindowFlags(backend.window()); };
  EXPECT_EQ(flags() & SDL_WINDOW_SHOWN, 0u);  // until there is a mode to show
  backend.exclusive_mode(true);
  backend.display_mode(640, 400, Layout::rgb565);
  EXPECT_NE(flags() & SDL_WINDOW_SHOWN, 0u);
  SDL_Event window_close = {SDL_WINDOWEVENT};
  window_close.window.event = SDL_WINDOWEVENT_CLOSE;
  // The event; the message it queues (0: none) and the full-screen state after it.
  const std::tuple<SDL_Event, UINT, WPARAM, std::uint32_t, bool> cases[] = {
      {key(SDL_KEYDOWN, SDLK_ESCAPE), WM_KEYDOWN, VK_ESCAPE, 1, true},        // one press, was up
      {key(SDL_KEYUP, SDLK_ESCAPE), WM_KEYUP, VK_ESCAPE, 0xC0000001u, true},  // was down, up
      {key(SDL_KEYDOWN, SDLK_q, KMOD_LSHIFT, 1), WM_KEYDOWN, 'Q', 0x40000001u, true},  // held
      {key(SDL_KEYDOWN, SDLK_RETURN), WM_KEYDOWN, VK_RETURN, 1, true},  // without Alt, a key
      {key(SDL_KEYDOWN, SDLK_F13), 0, 0, 0, true},
      {{SDL_QUIT}, WM_CLOSE, 0, 0, true},
      {window_close, WM_CLOSE, 0, 0, true},
      {{SDL_MOUSEMOTION}, 0, 0, 0, true},  // sent at once instead, below
      {key(SDL_KEYDOWN, SDLK_F11), 0, 0, 0, false},
      {key(SDL_KEYUP, SDLK_F11), 0, 0, 0, false},
      {key(SDL_KEYDOWN, SDLK_F11, KMOD_NONE, 1), 0, 0, 0, false},  // held, it toggles once
      {key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT), 0, 0, 0, true},
      {key(SDL_KEYDOWN, SDLK_KP_ENTER, KMOD_RALT), 0, 0, 0, false},
      {key(SDL_KEYDOWN, SDLK_F11), 0, 0, 0, true},
  };
  for (auto [event, message, wparam, lparam, full_screen] : cases) {
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    MSG msg = {};  // stays empty when nothing is queued
    PeekMessageA(&msg, window, 0, 0, PM_REMOVE);
    EXPECT_EQ(std::tuple(msg.message, msg.wParam, static_cast<std::uint32_t>(msg.lParam),
                         (flags() & SDL_WINDOW_FULLSCREEN) != 0),
              std::tuple(message, wparam, lparam, full_screen))
        << "event " << event.type;
  }
  // The mouse over the window asks it for its cursor: the client area, a mouse move.
  ASSERT_EQ(received.size(), 1u);  // what the window's procedure was called with at once
  EXPECT_EQ(std::tuple(received[0].message, received[0].wParam, received[0].lParam),
            std::tuple(WM_SETCURSOR, reinterpret_cast<WPARAM>(window), LPARAM{1 | (0x0200 << 16)}));
  backend.exclusive_mode(false);  // the desktop back, whatever the toggle says
  EXPECT_EQ(flags() & SDL_WINDOW_FULLSCREEN, 0u);

  SetCursor(reinterpret_cast<HCURSOR>(&backend));
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  for (BOOL on : {TRUE, FALSE}) {  // SDL starts with it off
    BOOL active = !on;
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, static_cast<UINT>(on), nullptr, 0);
    EXPECT_EQ(SDL_IsScreenSaverEnabled(), on ? SDL_TRUE : SDL_FALSE);
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0) && active == on);
  }
}

// The real display's frames in a window of 1400x900: each screen pixel a square of 2x2, the largest
// whole scale that fits, centred, black around it, its colour what the layout can hold. Rows have
// an odd pitch.
TEST_F(SdlBackend, FramesShowScaledAndCentredInTheColoursOfTheLayout) {
  constexpr int padding = 13, scale = 2, x0 = 60, y0 = 50;
  std::mt19937 random(1);
  std::vector<std::uint32_t> frame(640 * 400);
  for (const layout_oracle::Entry& e : layout_oracle::entries()) {
    SCOPED_TRACE(e.name);
    sdl_platform::SdlBackend backend(settings(e.layout, padding));
    ASSERT_TRUE(backend.ok()) << backend.error();
    emulated::install(backend, {{e.layout}, padding});
    ASSERT_EQ(display_open("test", 640, 400), 1);
    int width = 0, height = 0;
    SDL_GetWindowSize(backend.window(), &width, &height);
    EXPECT_EQ(std::pair(width, height), std::pair(640 * 3, 400 * 3));  // times the window scale
    SDL_SetWindowSize(backend.window(), 1400, 900);
    emulated::send_message(WM_ACTIVATEAPP, 1);
    // Random pixels, byte 3 too: the display ignores it.
    for (std::uint32_t& pixel : frame) pixel = static_cast<std::uint32_t>(random());
    ASSERT_EQ(display_update(frame.data()), 1);

    SDL_GetRendererOutputSize(backend.renderer(), &width, &height);
    ASSERT_EQ(std::pair(width, height), std::pair(1400, 900));
    std::vector<std::uint32_t> shown(static_cast<std::size_t>(width * height));
    ASSERT_EQ(SDL_RenderReadPixels(backend.renderer(), nullptr, SDL_PIXELFORMAT_RGB888,
                                   shown.data(), width * 4),
              0);
    display_close();
    EXPECT_EQ(SDL_GetWindowFlags(backend.window()) & SDL_WINDOW_SHOWN, 0u);
    int wrong = 0;
    for (int i = 0; i < width * height; ++i) {
      wrong += (shown[i] & 0xFFFFFF) !=
               layout_oracle::shown(frame, e.layout, scale, i % width - x0, i / width - y0);
    }
    EXPECT_EQ(wrong, 0) << "pixels wrong";
  }
}

}  // namespace
