// "ddraw.dll" as the display loads it: the names that load it, its one export, and its handle
// going stale once every load is freed.
#include <gtest/gtest.h>

#include "tests/platform/platform_fixture.h"

namespace {

using Library = PlatformTest;

TEST_F(Library, OnlyDdrawLoadsAndItsHandleLastsUntilEveryLoadIsFreed) {
  for (const char* name : {"user32.dll", "ddraw.dl", "ddraw.dll2", "ddra"}) {
    EXPECT_EQ(LoadLibraryA(name), nullptr) << name;
  }
  EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
  const auto direct_draw_create =
      reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&DirectDrawCreate));
  const HMODULE module = LoadLibraryA("ddraw.dll");
  for (const char* name : {"DDRAW.DLL", "ddraw"}) EXPECT_EQ(LoadLibraryA(name), module) << name;
  EXPECT_EQ(GetProcAddress(module, "DirectDrawCreate"), direct_draw_create);
  EXPECT_EQ(GetProcAddress(module, "DirectDrawCreateEx"), nullptr);
  EXPECT_EQ(GetProcAddress(module, "directdrawcreate"), nullptr);  // export names are exact
  for (int loads = 3; loads > 0; --loads) EXPECT_TRUE(FreeLibrary(module)) << loads;
  EXPECT_EQ(GetProcAddress(module, "DirectDrawCreate"), nullptr);
  EXPECT_FALSE(FreeLibrary(module));
}

}  // namespace
