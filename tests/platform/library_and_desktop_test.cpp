// "ddraw.dll", the desktop settings and the kernel calls, as the display reaches them.
#include <gtest/gtest.h>

#include "tests/platform/platform_fixture.h"

namespace {

using LibraryTest = PlatformTest;

TEST_F(LibraryTest, DdrawLoadsUnderAnySpellingAndHandsOutDirectDrawCreate) {
  for (const char* name : {"ddraw.dll", "DDRAW.DLL", "DDraw.dll", "ddraw"}) {
    const HMODULE module = LoadLibraryA(name);
    ASSERT_NE(module, nullptr) << name;
    const FARPROC create = GetProcAddress(module, "DirectDrawCreate");
    EXPECT_EQ(reinterpret_cast<void (*)()>(create),
              reinterpret_cast<void (*)()>(&DirectDrawCreate));
    EXPECT_EQ(GetProcAddress(module, "DirectDrawCreateEx"), nullptr);
    EXPECT_EQ(GetProcAddress(module, "directdrawcreate"), nullptr);  // export names are exact
    EXPECT_EQ(GetProcAddress(module, nullptr), nullptr);
    EXPECT_TRUE(FreeLibrary(module));
  }
  for (const char* name : {"user32.dll", "ddraw.dl", "ddraw.dll2", "ddra", ""}) {
    EXPECT_EQ(LoadLibraryA(name), nullptr) << name;
  }
  EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
}

TEST_F(LibraryTest, TheModuleStaysLoadedUntilEveryLoadIsFreed) {
  const HMODULE first = LoadLibraryA("ddraw.dll");
  const HMODULE second = LoadLibraryA("ddraw.dll");
  EXPECT_EQ(first, second);
  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_NE(GetProcAddress(first, "DirectDrawCreate"), nullptr);
  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_EQ(GetProcAddress(first, "DirectDrawCreate"), nullptr);
  EXPECT_FALSE(FreeLibrary(first));
  EXPECT_FALSE(FreeLibrary(nullptr));
}

TEST_F(LibraryTest, DirectDrawCreateRefusesWhatItCannotDo) {
  EXPECT_EQ(DirectDrawCreate(nullptr, nullptr, nullptr), DDERR_INVALIDPARAMS);
  GUID driver = {};
  IDirectDraw* direct_draw = reinterpret_cast<IDirectDraw*>(&driver);
  EXPECT_EQ(DirectDrawCreate(&driver, &direct_draw, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(direct_draw, nullptr);
  IDirectDraw* outer_result = nullptr;
  EXPECT_EQ(DirectDrawCreate(nullptr, &outer_result, reinterpret_cast<IUnknown*>(&driver)),
            DDERR_INVALIDPARAMS);
  EXPECT_EQ(outer_result, nullptr);
}

using DesktopTest = PlatformTest;

TEST_F(DesktopTest, ScreenSaverSwitchIsTheBackends) {
  BOOL active = 7;
  backend.screen_saver = false;
  EXPECT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0));
  EXPECT_EQ(active, FALSE);
  EXPECT_TRUE(SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0));
  EXPECT_TRUE(backend.screen_saver);
  EXPECT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0));
  EXPECT_EQ(active, TRUE);
  EXPECT_TRUE(SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 0, nullptr, 0));
  EXPECT_FALSE(backend.screen_saver);
  EXPECT_FALSE(SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, nullptr, 0));
  EXPECT_FALSE(SystemParametersInfoA(0x0070, 0, &active, 0));  // a setting not emulated
}

TEST_F(DesktopTest, SetCursorHidesAndShowsAndReturnsThePreviousCursor) {
  HCURSOR arrow = reinterpret_cast<HCURSOR>(&backend);
  EXPECT_EQ(SetCursor(arrow), nullptr);
  EXPECT_TRUE(backend.cursor_shown);
  EXPECT_EQ(SetCursor(nullptr), arrow);
  EXPECT_FALSE(backend.cursor_shown);
  EXPECT_EQ(SetCursor(nullptr), nullptr);
}

TEST_F(DesktopTest, SleepAndExitProcessReachTheBackend) {
  Sleep(0);
  Sleep(1);
  Sleep(250);
  EXPECT_EQ(backend.sleeps, (std::vector<DWORD>{0, 1, 250}));
  try {
    ExitProcess(3);
    ADD_FAILURE() << "ExitProcess returned";
  } catch (const ProcessEnded& ended) {
    EXPECT_EQ(ended.code, 3u);
  }
}

}  // namespace
