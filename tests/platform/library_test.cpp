// "ddraw.dll" as the display loads it: the names that load it, its one export, and its handle
// going stale once every load is freed.
#include <gtest/gtest.h>

#include "tests/platform/platform_fixture.h"

namespace {

using Library = PlatformTest;

TEST_F(Library, OnlyDdrawLoadsAndItsHandleLastsUntilEveryLoadIsFreed) {
  for (const char* name : {"user32.dll", "ddraw.dl", "ddraw.dll2", "ddra", ""}) {
    EXPECT_EQ(LoadLibraryA(name), nullptr) << name;
  }
  EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
  const auto direct_draw_create =
      reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&DirectDrawCreate));
  for (const char* name : {"ddraw.dll", "DDRAW.DLL", "DDraw.dll", "ddraw"}) {
    const HMODULE module = LoadLibraryA(name);
    EXPECT_EQ(LoadLibraryA("ddraw.dll"), module) << name;
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetProcAddress(module, "DirectDrawCreate"), direct_draw_create);
    EXPECT_EQ(GetProcAddress(module, "DirectDrawCreateEx"), nullptr);
    EXPECT_EQ(GetProcAddress(module, "directdrawcreate"), nullptr);  // export names are exact
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetProcAddress(module, "DirectDrawCreate"), nullptr);
    EXPECT_FALSE(FreeLibrary(module));
  }
}

}  // namespace
