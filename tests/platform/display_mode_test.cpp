// Exclusive mode and display modes: which layout a depth gets, what needs what, and what a mode
// change does to a chain made before it.
#include <gtest/gtest.h>

#include <optional>

#include "tests/platform/platform_fixture.h"
#include "tests/support/layout_oracle.h"

namespace {

using emulated::Layout;

using DisplayModeTest = PlatformTest;

// The bit count of a layout, from its byte count and whether it carries a spare bit or byte.
DWORD depth_of(const layout_oracle::Entry& e) {
  return e.bytes == 2 ? 16u : static_cast<DWORD>(8 * e.bytes);
}

// The masks GetPixelFormat reports for the primary surface made after SetDisplayMode.
std::optional<DDPIXELFORMAT> format_after_mode(IDirectDraw* direct_draw, DWORD depth) {
  if (FAILED(direct_draw->SetDisplayMode(32, 4, depth))) return std::nullopt;
  DDSURFACEDESC request = PlatformTest::chain_request(1);
  IDirectDrawSurface* primary = nullptr;
  EXPECT_EQ(direct_draw->CreateSurface(&request, &primary, nullptr), DD_OK);
  if (primary == nullptr) return std::nullopt;
  DDPIXELFORMAT format = {};
  format.dwSize = sizeof(format);
  EXPECT_EQ(primary->GetPixelFormat(&format), DD_OK);
  primary->Release();
  return format;
}

TEST_F(DisplayModeTest, EachDepthTakesTheFirstOfferedLayoutWithThatBitCount) {
  const std::vector<std::vector<Layout>> offers = {
      {Layout::xrgb8888},
      {Layout::rgb565, Layout::bgr555, Layout::xbgr8888},
      {Layout::bgr555, Layout::rgb565, Layout::bgr888, Layout::rgb888},
      {Layout::rgb555, Layout::bgr565, Layout::xbgr8888, Layout::xrgb8888},
      {},
  };
  for (const auto& offered : offers) {
    install_screen(offered);
    const HWND window = make_window();
    IDirectDraw* direct_draw = create_direct_draw();
    ASSERT_EQ(direct_draw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    for (DWORD depth : {8u, 15u, 16u, 24u, 32u}) {
      const layout_oracle::Entry* expected = nullptr;
      for (Layout layout : offered) {
        const layout_oracle::Entry& e = layout_oracle::entry(layout);
        if (expected == nullptr && depth_of(e) == depth) expected = &e;
      }
      const std::optional<DDPIXELFORMAT> format = format_after_mode(direct_draw, depth);
      if (expected == nullptr) {
        EXPECT_FALSE(format.has_value()) << "depth " << depth;
        EXPECT_EQ(direct_draw->SetDisplayMode(32, 4, depth), DDERR_INVALIDMODE);
        continue;
      }
      ASSERT_TRUE(format.has_value()) << "depth " << depth << " " << expected->name;
      EXPECT_EQ(format->dwFlags, DDPF_RGB);
      EXPECT_EQ(format->dwRGBBitCount, depth);
      EXPECT_EQ(format->dwRBitMask, layout_oracle::mask(expected->red)) << expected->name;
      EXPECT_EQ(format->dwGBitMask, layout_oracle::mask(expected->green)) << expected->name;
      EXPECT_EQ(format->dwBBitMask, layout_oracle::mask(expected->blue)) << expected->name;
      EXPECT_EQ(backend.events.back(), std::string("mode 32x4 ") + expected->name);
    }
    direct_draw->Release();
  }
}

TEST_F(DisplayModeTest, AnySizeOfAtLeastOnePixelIsAMode) {
  const HWND window = make_window();
  IDirectDraw* direct_draw = create_direct_draw();
  EXPECT_EQ(direct_draw->SetDisplayMode(640, 400, 32), DDERR_NOEXCLUSIVEMODE);
  ASSERT_EQ(direct_draw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  EXPECT_EQ(direct_draw->SetDisplayMode(1, 1, 32), DD_OK);
  EXPECT_EQ(direct_draw->SetDisplayMode(1, 1999, 32), DD_OK);
  EXPECT_EQ(direct_draw->SetDisplayMode(0, 400, 32), DDERR_INVALIDMODE);
  EXPECT_EQ(direct_draw->SetDisplayMode(640, 0, 32), DDERR_INVALIDMODE);
  EXPECT_EQ(direct_draw->SetDisplayMode(0x40000000, 1, 32), DDERR_INVALIDMODE);  // pitch > LONG
  EXPECT_EQ(backend.events.back(), "mode 1x1999 xrgb8888");
  direct_draw->Release();
}

TEST_F(DisplayModeTest, ExclusiveModeIsForOneLiveWindowAndOneObject) {
  const HWND window = make_window();
  IDirectDraw* first = create_direct_draw();
  IDirectDraw* second = create_direct_draw();
  const DWORD full = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN;
  EXPECT_EQ(first->SetCooperativeLevel(nullptr, full), DDERR_INVALIDPARAMS);
  EXPECT_EQ(first->SetCooperativeLevel(reinterpret_cast<HWND>(&backend), full),
            DDERR_INVALIDPARAMS);
  EXPECT_EQ(first->SetCooperativeLevel(window, DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
  EXPECT_EQ(first->SetCooperativeLevel(window, DDSCL_FULLSCREEN), DDERR_INVALIDPARAMS);
  EXPECT_EQ(first->SetCooperativeLevel(window, full | DDSCL_NORMAL), DDERR_INVALIDPARAMS);
  EXPECT_TRUE(backend.events.empty());

  EXPECT_EQ(first->SetCooperativeLevel(window, full), DD_OK);
  EXPECT_EQ(first->SetCooperativeLevel(window, full), DD_OK);  // again: nothing new
  EXPECT_EQ(second->SetCooperativeLevel(window, full), dd_error(581));
  EXPECT_EQ(second->SetDisplayMode(640, 400, 32), DDERR_NOEXCLUSIVEMODE);
  EXPECT_EQ(second->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);  // not its to give back
  EXPECT_EQ(first->SetDisplayMode(640, 400, 32), DD_OK);
  EXPECT_EQ(first->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
  EXPECT_EQ(second->SetCooperativeLevel(window, full), DD_OK);
  EXPECT_EQ(backend.events, (std::vector<std::string>{"exclusive", "mode 640x400 xrgb8888",
                                                      "shared", "exclusive"}));
  second->Release();
  first->Release();
}

TEST_F(DisplayModeTest, TakingExclusiveModeTellsTheBackendWhenTheWindowCanHearIt) {
  backend.activate_on_exclusive = true;
  const HWND window = make_window();
  IDirectDraw* direct_draw = create_direct_draw();
  ASSERT_EQ(direct_draw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  ASSERT_EQ(received().size(), 1u);
  EXPECT_EQ(received()[0].window, window);
  EXPECT_EQ(received()[0].message, WM_ACTIVATEAPP);
  EXPECT_EQ(received()[0].wparam, 1u);
  direct_draw->Release();
}

TEST_F(DisplayModeTest, AModeChangeLosesTheChainUntilRestoredInItsOwnMode) {
  install_screen({Layout::xrgb8888, Layout::rgb565});
  Open open = open_screen(16, 8, 32, 2);
  ASSERT_NE(open.back, nullptr);
  EXPECT_EQ(open.primary->IsLost(), DD_OK);

  ASSERT_EQ(open.direct_draw->SetDisplayMode(16, 8, 16), DD_OK);
  EXPECT_EQ(open.primary->IsLost(), DDERR_SURFACELOST);
  lock(open.back, DDERR_SURFACELOST);
  EXPECT_EQ(open.primary->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACELOST);
  EXPECT_EQ(open.primary->Restore(), dd_error(587));  // the wrong mode for its buffers

  ASSERT_EQ(open.direct_draw->SetDisplayMode(16, 8, 32), DD_OK);
  EXPECT_EQ(open.primary->Restore(), DD_OK);
  const DDSURFACEDESC desc = lock(open.back);
  EXPECT_EQ(open.back->Unlock(desc.lpSurface), DD_OK);
  EXPECT_EQ(open.primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);

  EXPECT_EQ(open.direct_draw->RestoreDisplayMode(), DD_OK);
  EXPECT_EQ(backend.events.back(), "mode restored");
  lock(open.back, DDERR_SURFACELOST);
  EXPECT_EQ(open.primary->Restore(), dd_error(587));
  open.primary->Release();
  open.direct_draw->Release();
}

TEST_F(DisplayModeTest, ReleasingTheObjectGivesBackChainModeAndExclusiveMode) {
  Open open = open_screen(8, 2, 32, 1);
  ASSERT_NE(open.back, nullptr);
  backend.events.clear();
  EXPECT_EQ(open.direct_draw->AddRef(), 2u);
  EXPECT_EQ(open.direct_draw->Release(), 1u);
  EXPECT_TRUE(backend.events.empty());
  EXPECT_EQ(open.direct_draw->Release(), 0u);
  EXPECT_EQ(backend.events, (std::vector<std::string>{"mode restored", "shared"}));

  lock(open.back, dd_error(130));
  EXPECT_EQ(open.primary->Flip(nullptr, DDFLIP_WAIT), dd_error(130));
  EXPECT_EQ(open.direct_draw->SetDisplayMode(8, 2, 32), dd_error(130));
  EXPECT_EQ(open.direct_draw->Release(), 0u);
  EXPECT_EQ(open.primary->Release(), 0u);

  // The screen is free for a new object.
  IDirectDraw* next = create_direct_draw();
  EXPECT_EQ(next->SetCooperativeLevel(open.window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  next->Release();
}

TEST_F(DisplayModeTest, DestroyingTheExclusiveWindowGivesBackExclusiveMode) {
  const HWND window = make_window();
  IDirectDraw* direct_draw = create_direct_draw();
  ASSERT_EQ(direct_draw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  EXPECT_TRUE(DestroyWindow(window));
  EXPECT_EQ(backend.events.back(), "shared");
  EXPECT_EQ(direct_draw->SetDisplayMode(640, 400, 32), DDERR_NOEXCLUSIVEMODE);
  direct_draw->Release();
}

}  // namespace
