// SDL events as the messages of the show's window, the full-screen toggle that the show never
// sees, the cursor and the screen-saver switch.
#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/emulated/emulated_platform.h"
#include "platform/sdl/sdl_backend.h"
#include "tests/sdl/sdl_fixture.h"

namespace {

struct Call {
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};

std::vector<Call> procedure_calls;

LRESULT WINAPI record_call(HWND, UINT message, WPARAM wparam, LPARAM lparam) {
  procedure_calls.push_back({message, wparam, lparam});
  return 0;
}

constexpr UINT wm_setcursor = 0x0020;

class SdlEvents : public NoDisplaySdl {
 protected:
  void SetUp() override {
    ASSERT_TRUE(backend_.ok()) << backend_.error();
    emulated::install(backend_, settings_.screen);
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = record_call;
    window_class.lpszClassName = "events";
    RegisterClassA(&window_class);
    window_ = CreateWindowExA(0, "events", "events", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
    procedure_calls.clear();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  }
  void TearDown() override { DestroyWindow(window_); }

  // Everything the window's queue holds after the backend has looked at SDL's events.
  std::vector<MSG> messages() {
    std::vector<MSG> taken;
    MSG message;
    while (PeekMessageA(&message, window_, 0, 0, PM_REMOVE)) taken.push_back(message);
    return taken;
  }

  void push_key(Uint32 type, SDL_Keycode key, Uint16 modifiers = KMOD_NONE, Uint8 repeat = 0) {
    SDL_Event event = {};
    event.type = type;
    event.key.windowID = SDL_GetWindowID(backend_.window());
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat;
    event.key.keysym.sym = key;
    event.key.keysym.mod = modifiers;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }

  void push_window_event(SDL_WindowEventID id) {
    SDL_Event event = {};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(backend_.window());
    event.window.event = static_cast<Uint8>(id);
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }

  bool full_screen() const {
    return (SDL_GetWindowFlags(backend_.window()) & SDL_WINDOW_FULLSCREEN) != 0;
  }

  sdl_platform::Settings settings_ = windowed(1);
  sdl_platform::SdlBackend backend_{settings_};
  HWND window_ = nullptr;
};

TEST_F(SdlEvents, KeyPressesAndReleasesBecomeKeyMessagesWithVirtualKeyCodes) {
  push_key(SDL_KEYDOWN, SDLK_ESCAPE);
  push_key(SDL_KEYUP, SDLK_ESCAPE);
  push_key(SDL_KEYDOWN, SDLK_q, KMOD_LSHIFT);
  push_key(SDL_KEYDOWN, SDLK_q, KMOD_LSHIFT, 1);  // held: the keyboard repeats it
  push_key(SDL_KEYDOWN, SDLK_F12);
  const std::vector<MSG> got = messages();
  ASSERT_EQ(got.size(), 5u);
  for (const MSG& message : got) EXPECT_EQ(message.hwnd, window_);

  EXPECT_EQ(got[0].message, WM_KEYDOWN);
  EXPECT_EQ(got[0].wParam, VK_ESCAPE);
  EXPECT_EQ(got[0].lParam, 1);  // one press, key was up

  EXPECT_EQ(got[1].message, WM_KEYUP);
  EXPECT_EQ(got[1].wParam, VK_ESCAPE);
  EXPECT_EQ(static_cast<std::uint32_t>(got[1].lParam), 0xC0000001u);  // was down, now released

  EXPECT_EQ(got[2].message, WM_KEYDOWN);
  EXPECT_EQ(got[2].wParam, static_cast<WPARAM>('Q'));
  EXPECT_EQ(got[3].message, WM_KEYDOWN);
  EXPECT_EQ(got[3].wParam, static_cast<WPARAM>('Q'));
  EXPECT_EQ(got[3].lParam, 0x40000001);  // a repeat: the key was down already

  EXPECT_EQ(got[4].wParam, 0x7Bu);
}

TEST_F(SdlEvents, KeysWithoutACodeMakeNoMessage) {
  push_key(SDL_KEYDOWN, SDLK_F13);
  push_key(SDL_KEYDOWN, SDLK_LALT);
  push_key(SDL_KEYUP, SDLK_LALT);
  EXPECT_TRUE(messages().empty());
}

TEST_F(SdlEvents, CloseRequestsFromTheWindowAndFromTheSystemBecomeWmClose) {
  push_window_event(SDL_WINDOWEVENT_CLOSE);
  SDL_Event quit = {};
  quit.type = SDL_QUIT;
  ASSERT_EQ(SDL_PushEvent(&quit), 1);
  const std::vector<MSG> got = messages();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].message, WM_CLOSE);
  EXPECT_EQ(got[1].message, WM_CLOSE);
}

TEST_F(SdlEvents, MouseMovesAskTheWindowForItsCursorAtOnce) {
  SDL_Event motion = {};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.windowID = SDL_GetWindowID(backend_.window());
  ASSERT_EQ(SDL_PushEvent(&motion), 1);
  EXPECT_TRUE(messages().empty());  // sent, not queued
  ASSERT_EQ(procedure_calls.size(), 1u);
  EXPECT_EQ(procedure_calls[0].message, wm_setcursor);
  EXPECT_EQ(procedure_calls[0].wparam, reinterpret_cast<WPARAM>(window_));
  EXPECT_EQ(procedure_calls[0].lparam, 1 | (0x0200 << 16));  // client area, mouse move
}

TEST_F(SdlEvents, TheCursorIsHiddenFromTheStartAndFollowsSetCursor) {
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  backend_.show_cursor(true);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  SetCursor(nullptr);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
}

TEST_F(SdlEvents, F11AndAltEnterToggleFullScreenAndNeverReachTheShow) {
  backend_.exclusive_mode(true);
  backend_.display_mode(640, 400, emulated::Layout::xrgb8888);
  EXPECT_FALSE(full_screen()) << "the windowed setting keeps a window in exclusive mode";

  push_key(SDL_KEYDOWN, SDLK_F11);
  push_key(SDL_KEYUP, SDLK_F11);
  EXPECT_TRUE(messages().empty());
  EXPECT_TRUE(full_screen());

  push_key(SDL_KEYDOWN, SDLK_F11, KMOD_NONE, 1);  // a held key toggles once
  EXPECT_TRUE(messages().empty());
  EXPECT_TRUE(full_screen());

  push_key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT);
  EXPECT_TRUE(messages().empty());
  EXPECT_FALSE(full_screen());

  push_key(SDL_KEYDOWN, SDLK_KP_ENTER, KMOD_RALT);
  EXPECT_TRUE(messages().empty());
  EXPECT_TRUE(full_screen());

  // Leaving exclusive mode gives the desktop back, whatever the toggle says.
  backend_.exclusive_mode(false);
  EXPECT_FALSE(full_screen());

  // Return without Alt is an ordinary key.
  push_key(SDL_KEYDOWN, SDLK_RETURN);
  const std::vector<MSG> got = messages();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].wParam, VK_RETURN);
}

TEST_F(SdlEvents, ScreenSaverSwitchIsSdls) {
  BOOL active = FALSE;
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 0, nullptr, 0);
  EXPECT_EQ(SDL_IsScreenSaverEnabled(), SDL_FALSE);
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0));
  EXPECT_EQ(active, FALSE);
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0);
  EXPECT_EQ(SDL_IsScreenSaverEnabled(), SDL_TRUE);
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0));
  EXPECT_EQ(active, TRUE);
}

class SdlFullScreenSetting : public NoDisplaySdl {};

TEST_F(SdlFullScreenSetting, ExclusiveModeTakesTheFullScreenOnceTheWindowShows) {
  sdl_platform::Settings settings = windowed(1);
  settings.windowed = false;
  sdl_platform::SdlBackend backend(settings);
  ASSERT_TRUE(backend.ok()) << backend.error();
  emulated::install(backend, settings.screen);
  EXPECT_EQ(SDL_GetWindowFlags(backend.window()) & SDL_WINDOW_SHOWN, 0u);
  backend.exclusive_mode(true);
  backend.display_mode(640, 400, emulated::Layout::rgb565);
  EXPECT_NE(SDL_GetWindowFlags(backend.window()) & SDL_WINDOW_SHOWN, 0u);
  EXPECT_EQ(SDL_GetWindowFlags(backend.window()) & SDL_WINDOW_FULLSCREEN_DESKTOP,
            static_cast<Uint32>(SDL_WINDOW_FULLSCREEN_DESKTOP));
  backend.exclusive_mode(false);
  EXPECT_EQ(SDL_GetWindowFlags(backend.window()) & SDL_WINDOW_FULLSCREEN, 0u);
  backend.display_mode_restored();
  EXPECT_EQ(SDL_GetWindowFlags(backend.window()) & SDL_WINDOW_SHOWN, 0u);
}

}  // namespace
