// The fake platform itself: the display tests lean on it to rotate the chain like DirectDraw, keep
// other windows' messages apart, and log every misuse, so those behaviours are checked here.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/fake_platform.h"

namespace {

LRESULT WINAPI quiet_window_proc(HWND, UINT, WPARAM, LPARAM) { return 7; }

// A flipping chain taken directly through the platform calls, as a display would.
struct Screen {
  IDirectDraw* direct_draw = nullptr;
  IDirectDrawSurface* front = nullptr;
  IDirectDrawSurface* back = nullptr;
  HWND window = nullptr;
};

Screen take_screen(int back_buffers, int width = 4, int height = 2) {
  Screen screen;
  HMODULE library = LoadLibraryA("ddraw.dll");
  EXPECT_NE(library, nullptr);
  EXPECT_EQ(DirectDrawCreate(nullptr, &screen.direct_draw, nullptr), DD_OK);
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = quiet_window_proc;
  window_class.lpszClassName = "fake";
  RegisterClassA(&window_class);
  screen.window =
      CreateWindowExA(0, "fake", "fake", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(
      screen.direct_draw->SetCooperativeLevel(screen.window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
      DD_OK);
  EXPECT_EQ(
      screen.direct_draw->SetDisplayMode(static_cast<DWORD>(width), static_cast<DWORD>(height), 32),
      DD_OK);
  DDSURFACEDESC request = {};
  request.dwSize = sizeof(request);
  request.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  request.dwBackBufferCount = static_cast<DWORD>(back_buffers);
  request.ddsCaps.dwCaps =
      DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
  EXPECT_EQ(screen.direct_draw->CreateSurface(&request, &screen.front, nullptr), DD_OK);
  DDSCAPS caps = {DDSCAPS_BACKBUFFER};
  EXPECT_EQ(screen.front->GetAttachedSurface(&caps, &screen.back), DD_OK);
  return screen;
}

DDSURFACEDESC lock_description() {
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof(desc);
  return desc;
}

class FakeChainTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { fake::reset(); }
};

TEST_P(FakeChainTest, FlipShowsWhatWasDrawnAndTheBackBufferMovesOn) {
  Screen screen = take_screen(GetParam());
  for (std::uint8_t frame = 1; frame <= 6; ++frame) {
    DDSURFACEDESC desc = lock_description();
    ASSERT_EQ(screen.back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    // The buffer to draw next is never the one on screen.
    ASSERT_NE(desc.lpSurface, static_cast<const void*>(fake::front_buffer().data()));
    std::memset(desc.lpSurface, frame, static_cast<std::size_t>(desc.lPitch) * desc.dwHeight);
    ASSERT_EQ(screen.back->Unlock(desc.lpSurface), DD_OK);
    ASSERT_EQ(screen.front->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(fake::front_buffer().front(), frame);
    EXPECT_EQ(fake::front_buffer().back(), frame);
  }
  EXPECT_EQ(fake::violations(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(BackBuffers, FakeChainTest, ::testing::Values(1, 2));

struct Misuse {
  const char* name;
  std::function<void(Screen&)> act;
};

std::string misuse_name(const ::testing::TestParamInfo<Misuse>& info) { return info.param.name; }

class FakeMisuseTest : public ::testing::TestWithParam<Misuse> {
 protected:
  void SetUp() override { fake::reset(); }
};

TEST_P(FakeMisuseTest, IsLoggedAsAViolation) {
  Screen screen = take_screen(2);
  ASSERT_EQ(fake::violations(), std::vector<std::string>{});
  GetParam().act(screen);
  EXPECT_NE(fake::violations(), std::vector<std::string>{}) << fake::call_log();
}

INSTANTIATE_TEST_SUITE_P(
    Misuses, FakeMisuseTest,
    ::testing::Values(
        Misuse{"LockWhileLocked",
               [](Screen& s) {
                 DDSURFACEDESC desc = lock_description();
                 s.back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
                 EXPECT_LT(s.back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), 0);
               }},
        Misuse{"UnlockWithAnotherPointer",
               [](Screen& s) {
                 DDSURFACEDESC desc = lock_description();
                 s.back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
                 s.back->Unlock(static_cast<std::uint8_t*>(desc.lpSurface) + 1);
               }},
        Misuse{"UnlockWithoutLock", [](Screen& s) { s.back->Unlock(nullptr); }},
        Misuse{"FlipWhileLocked",
               [](Screen& s) {
                 DDSURFACEDESC desc = lock_description();
                 s.back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
                 EXPECT_LT(s.front->Flip(nullptr, DDFLIP_WAIT), 0);
               }},
        Misuse{"LockTheFront",
               [](Screen& s) {
                 DDSURFACEDESC desc = lock_description();
                 s.front->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
               }},
        Misuse{"LockWithAWrongSize",
               [](Screen& s) {
                 DDSURFACEDESC desc = lock_description();
                 desc.dwSize = 108 + 4;
                 EXPECT_LT(s.back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), 0);
               }},
        Misuse{"PixelFormatWithAWrongSize",
               [](Screen& s) {
                 DDPIXELFORMAT format = {};
                 EXPECT_LT(s.front->GetPixelFormat(&format), 0);
               }},
        Misuse{"UseAfterRelease",
               [](Screen& s) {
                 s.front->Release();
                 s.front->Restore();
               }},
        Misuse{"BackBufferReleasedAlone", [](Screen& s) { s.back->Release(); }},
        Misuse{"DirectDrawReleasedBeforeItsSurfaces", [](Screen& s) { s.direct_draw->Release(); }},
        Misuse{"SecondDirectDrawWithADriver",
               [](Screen&) {
                 GUID driver = {};
                 IDirectDraw* other = nullptr;
                 DirectDrawCreate(&driver, &other, nullptr);
               }},
        Misuse{"LibraryFreedUnderItsObject",
               [](Screen&) { FreeLibrary(LoadLibraryA("ddraw.dll")); }},
        Misuse{"WindowDestroyedInExclusiveMode", [](Screen& s) { DestroyWindow(s.window); }},
        Misuse{"ScreenSaverWrittenToTheProfile",
               [](Screen&) { SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 0, nullptr, 3); }}),
    misuse_name);

TEST(FakeMessages, TheWindowFilterKeepsOtherWindowsMessagesOut) {
  fake::reset();
  Screen screen = take_screen(1);
  fake::post_foreign_message(WM_KEYDOWN, VK_ESCAPE);
  fake::post_message(WM_USER, 1);

  MSG message = {};
  ASSERT_TRUE(PeekMessageA(&message, screen.window, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, WM_USER);
  EXPECT_EQ(message.hwnd, screen.window);
  EXPECT_FALSE(PeekMessageA(&message, screen.window, 0, 0, PM_REMOVE));
  // Without a filter the thread's other windows are served too.
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, WM_KEYDOWN);
  EXPECT_NE(message.hwnd, screen.window);
  EXPECT_EQ(DispatchMessageA(&message), 0);  // no procedure of ours for it
  EXPECT_EQ(fake::count_calls("WndProc(WM_KEYDOWN"), 0);
}

TEST(FakeMessages, DispatchCallsTheClassProcedure) {
  fake::reset();
  Screen screen = take_screen(1);
  fake::post_message(WM_USER, 1);
  MSG message = {};
  ASSERT_TRUE(PeekMessageA(&message, screen.window, 0, 0, PM_REMOVE));
  EXPECT_EQ(DispatchMessageA(&message), 7);
  EXPECT_EQ(fake::count_calls("WndProc(0x400,1)"), 1);
}

}  // namespace
