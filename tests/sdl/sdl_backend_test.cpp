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
#include "tests/support/layout_oracle.h"

namespace {

using emulated::Layout;

std::vector<MSG> sent;  // what the show window's procedure was called with at once

LRESULT WINAPI record_sent(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  sent.push_back({window, message, wparam, lparam, 0, {}});
  return 0;
}

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

  static sdl_platform::Settings settings(bool windowed, Layout layout = Layout::xrgb8888,
                                         int padding = 0) {
    sdl_platform::Settings settings;
    settings.screen = {{layout}, padding};
    settings.windowed = windowed;
    settings.window_scale = 3;
    settings.retrace_hz = 0;
    return settings;
  }
};

TEST_F(SdlBackend, EventsBecomeTheShowWindowsMessagesButForTheFullScreenToggle) {
  sdl_platform::SdlBackend backend(settings(false));
  ASSERT_TRUE(backend.ok()) << backend.error();
  emulated::install(backend, {});
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = record_sent;
  window_class.lpszClassName = "show";
  RegisterClassA(&window_class);
  const HWND window =
      CreateWindowExA(0, "show", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);  // hidden from the start
  auto flags = [&] { return SDL_GetWindowFlags(backend.window()); };
  EXPECT_EQ(flags() & SDL_WINDOW_SHOWN, 0u);  // until there is a mode to show
  backend.exclusive_mode(true);
  backend.display_mode(640, 400, Layout::rgb565);
  EXPECT_NE(flags() & SDL_WINDOW_SHOWN, 0u);
  SDL_Event window_close = {SDL_WINDOWEVENT};
  window_close.window.event = SDL_WINDOWEVENT_CLOSE;
  struct Case {
    SDL_Event event;
    UINT message;  // 0: none
    WPARAM wparam;
    std::uint32_t lparam;
    bool full_screen_after;
  };
  const Case cases[] = {
      {key(SDL_KEYDOWN, SDLK_ESCAPE), WM_KEYDOWN, VK_ESCAPE, 1, true},        // one press, was up
      {key(SDL_KEYUP, SDLK_ESCAPE), WM_KEYUP, VK_ESCAPE, 0xC0000001u, true},  // was down, up
      {key(SDL_KEYDOWN, SDLK_q, KMOD_LSHIFT), WM_KEYDOWN, 'Q', 1, true},
      {key(SDL_KEYDOWN, SDLK_q, KMOD_LSHIFT, 1), WM_KEYDOWN, 'Q', 0x40000001u, true},  // held
      {key(SDL_KEYDOWN, SDLK_RETURN), WM_KEYDOWN, VK_RETURN, 1, true},  // without Alt, a key
      {key(SDL_KEYDOWN, SDLK_F13), 0, 0, 0, true},
      {key(SDL_KEYUP, SDLK_LALT), 0, 0, 0, true},
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
  for (Case c : cases) {
    ASSERT_EQ(SDL_PushEvent(&c.event), 1) << SDL_GetError();
    MSG msg = {};
    EXPECT_EQ(PeekMessageA(&msg, window, 0, 0, PM_REMOVE), c.message != 0 ? TRUE : FALSE);
    EXPECT_EQ(std::tuple(msg.message, msg.wParam, static_cast<std::uint32_t>(msg.lParam)),
              std::tuple(c.message, c.wparam, c.lparam))
        << "event " << c.event.type;
    EXPECT_EQ((flags() & SDL_WINDOW_FULLSCREEN) != 0, c.full_screen_after);
  }
  // The mouse over the window asks it for its cursor: the client area, a mouse move.
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].message, WM_SETCURSOR);
  EXPECT_EQ(sent[0].wParam, reinterpret_cast<WPARAM>(window));
  EXPECT_EQ(sent[0].lParam, 1 | (0x0200 << 16));
  backend.exclusive_mode(false);  // the desktop back, whatever the toggle says
  EXPECT_EQ(flags() & SDL_WINDOW_FULLSCREEN, 0u);
  backend.display_mode_restored();
  EXPECT_EQ(flags() & SDL_WINDOW_SHOWN, 0u);

  SetCursor(reinterpret_cast<HCURSOR>(&backend));
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  for (BOOL on : {TRUE, FALSE}) {  // SDL starts with it off
    BOOL active = !on;
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, static_cast<UINT>(on), nullptr, 0);
    EXPECT_EQ(SDL_IsScreenSaverEnabled(), on ? SDL_TRUE : SDL_FALSE);
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0) && active == on);
  }
}

// The real display's frames: each screen pixel a square of the largest whole scale that fits the
// window, centred, black around it, its colour what the layout can hold.
TEST_F(SdlBackend, FramesShowScaledAndCentredInTheColoursOfTheLayout) {
  struct Case {
    Layout layout;
    int padding, window_width, window_height, scale, x0, y0;
  };
  std::vector<Case> cases;
  for (const layout_oracle::Entry& e : layout_oracle::entries()) {
    cases.push_back({e.layout, 12, 1400, 900, 2, 60, 50});
  }
  cases.push_back({Layout::rgb888, 1, 640, 400, 1, 0, 0});        // 3-byte pixels, odd pitch
  cases.push_back({Layout::xrgb8888, 0, 600, 300, 1, -20, -50});  // a smaller window: the middle
  std::mt19937 random(1);
  std::vector<std::uint32_t> frame(640 * 400);
  for (const Case& c : cases) {
    SCOPED_TRACE(emulated::layout_info(c.layout).name);
    sdl_platform::SdlBackend backend(settings(true, c.layout, c.padding));
    ASSERT_TRUE(backend.ok()) << backend.error();
    emulated::install(backend, {{c.layout}, c.padding});
    ASSERT_EQ(display_open("test", 640, 400), 1);
    int width = 0, height = 0;
    SDL_GetWindowSize(backend.window(), &width, &height);
    EXPECT_EQ(std::pair(width, height), std::pair(640 * 3, 400 * 3));  // times the window scale
    SDL_SetWindowSize(backend.window(), c.window_width, c.window_height);
    emulated::send_message(WM_ACTIVATEAPP, 1);
    // Random pixels, byte 3 too: the display ignores it.
    for (std::uint32_t& pixel : frame) pixel = static_cast<std::uint32_t>(random());
    ASSERT_EQ(display_update(frame.data()), 1);

    SDL_GetRendererOutputSize(backend.renderer(), &width, &height);
    ASSERT_EQ(std::pair(width, height), std::pair(c.window_width, c.window_height));
    std::vector<std::uint32_t> shown(static_cast<std::size_t>(width * height));
    ASSERT_EQ(SDL_RenderReadPixels(backend.renderer(), nullptr, SDL_PIXELFORMAT_RGB888,
                                   shown.data(), width * 4),
              0);
    display_close();
    EXPECT_EQ(SDL_GetWindowFlags(backend.window()) & SDL_WINDOW_SHOWN, 0u);
    int wrong = 0;
    for (int i = 0; i < width * height; ++i) {
      const int x = i % width - c.x0;
      const int y = i / width - c.y0;
      const bool inside = x >= 0 && y >= 0 && x < 640 * c.scale && y < 400 * c.scale;
      const std::uint32_t expected =
          inside ? layout_oracle::shown(frame[y / c.scale * 640 + x / c.scale], c.layout) : 0;
      if ((shown[i] & 0xFFFFFF) != expected && ++wrong <= 3) {
        ADD_FAILURE() << "at (" << i % width << ", " << i / width << "): " << std::hex
                      << (shown[i] & 0xFFFFFF) << " instead of " << expected;
      }
    }
  }
}

}  // namespace
