// The flipping chain: what each flip shows, which buffer the back-buffer object designates, the
// pitch, and misuse answered with errors.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "tests/platform/platform_fixture.h"
#include "tests/support/layout_oracle.h"

namespace {

using emulated::Layout;

using FlippingChainTest = PlatformTest;

// Fills every byte of the locked back buffer with `mark` and flips.
void draw_and_flip(IDirectDrawSurface* primary, IDirectDrawSurface* back, std::uint8_t mark,
                   std::set<void*>* buffers) {
  DDSURFACEDESC desc = PlatformTest::lock(back);
  ASSERT_NE(desc.lpSurface, nullptr);
  buffers->insert(desc.lpSurface);
  std::memset(desc.lpSurface, mark, static_cast<std::size_t>(desc.lPitch) * desc.dwHeight);
  ASSERT_EQ(back->Unlock(desc.lpSurface), DD_OK);
  ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
}

TEST_F(FlippingChainTest, EachFlipShowsTheBufferJustDrawnAndTheBackBufferMovesOn) {
  for (DWORD back_buffers : {1u, 2u}) {
    SCOPED_TRACE(back_buffers);
    install_screen({Layout::xrgb8888});
    backend.frames.clear();
    backend.retraces = 0;
    Open open = open_screen(5, 3, 32, back_buffers);
    ASSERT_NE(open.back, nullptr);
    std::set<void*> buffers;
    std::vector<void*> shown;
    for (int frame = 0; frame < 7; ++frame) {
      draw_and_flip(open.primary, open.back, static_cast<std::uint8_t>(0x10 + frame), &buffers);
      const PresentedFrame& presented = backend.frames.back();
      shown.push_back(const_cast<std::uint8_t*>(presented.pixels));
      for (std::uint8_t byte : presented.bytes) ASSERT_EQ(byte, 0x10 + frame);
      // The buffer drawn next is never the one on screen.
      const DDSURFACEDESC next = lock(open.back);
      EXPECT_NE(next.lpSurface, presented.pixels);
      open.back->Unlock(next.lpSurface);
      // The front surface holds what is on screen.
      const DDSURFACEDESC front = lock(open.primary);
      EXPECT_EQ(front.lpSurface, presented.pixels);
      open.primary->Unlock(front.lpSurface);
    }
    // Every buffer of the chain takes its turn, in a fixed cycle.
    EXPECT_EQ(buffers.size(), back_buffers + 1);
    for (std::size_t i = back_buffers + 1; i < shown.size(); ++i) {
      EXPECT_EQ(shown[i], shown[i - back_buffers - 1]);
    }
    EXPECT_EQ(backend.retraces, 7);
    EXPECT_EQ(backend.frames.size(), 7u);
    EXPECT_EQ(open.primary->Release(), 0u);
    open.direct_draw->Release();
  }
}

TEST_F(FlippingChainTest, FlipWithoutWaitDoesNotWaitForTheRetrace) {
  Open open = open_screen(4, 4, 32, 1);
  EXPECT_EQ(open.primary->Flip(nullptr, 0), DD_OK);
  EXPECT_EQ(open.primary->Flip(open.back, DDFLIP_WAIT), DD_OK);  // the next buffer, named
  EXPECT_EQ(backend.retraces, 1);
  EXPECT_EQ(backend.frames.size(), 2u);
  open.direct_draw->Release();
}

TEST_F(FlippingChainTest, PitchIsWidthTimesBytesPlusPaddingForEveryLayout) {
  for (const layout_oracle::Entry& e : layout_oracle::entries()) {
    for (int padding : {0, 1, 13}) {
      SCOPED_TRACE(std::string(e.name) + " padding " + std::to_string(padding));
      install_screen({e.layout}, padding);
      const DWORD depth = e.bytes == 2 ? 16u : static_cast<DWORD>(8 * e.bytes);
      Open open = open_screen(7, 3, depth, 2);
      ASSERT_NE(open.back, nullptr);
      const DDSURFACEDESC desc = lock(open.back);
      EXPECT_EQ(desc.lPitch, 7 * e.bytes + padding);
      EXPECT_EQ(desc.dwWidth, 7u);
      EXPECT_EQ(desc.dwHeight, 3u);
      EXPECT_NE(desc.dwFlags & DDSD_LPSURFACE, 0u);
      EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, depth);
      // The whole of every row, padding included, is the surface's to write.
      std::memset(desc.lpSurface, 0xA5, static_cast<std::size_t>(desc.lPitch) * 3);
      open.back->Unlock(desc.lpSurface);
      open.primary->Flip(nullptr, DDFLIP_WAIT);
      ASSERT_FALSE(backend.frames.empty());
      EXPECT_EQ(backend.frames.back().pitch, desc.lPitch);
      EXPECT_EQ(backend.frames.back().layout, e.layout);
      EXPECT_EQ(backend.frames.back().width, 7);
      EXPECT_EQ(backend.frames.back().height, 3);
      open.direct_draw->Release();
    }
  }
}

TEST_F(FlippingChainTest, LockOfARectangleStartsAtItsCorner) {
  install_screen({Layout::rgb888}, 2);
  Open open = open_screen(10, 6, 24, 1);
  DDSURFACEDESC whole = lock(open.back);
  open.back->Unlock(whole.lpSurface);
  RECT rect = {3, 2, 10, 6};
  DDSURFACEDESC part = {};
  part.dwSize = sizeof(part);
  ASSERT_EQ(open.back->Lock(&rect, &part, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(static_cast<std::uint8_t*>(part.lpSurface),
            static_cast<std::uint8_t*>(whole.lpSurface) + 2 * 32 + 3 * 3);
  EXPECT_EQ(open.back->Unlock(whole.lpSurface), DDERR_INVALIDPARAMS);
  EXPECT_EQ(open.back->Unlock(part.lpSurface), DD_OK);
  for (RECT bad : {RECT{0, 0, 11, 6}, RECT{0, 0, 10, 7}, RECT{-1, 0, 5, 5}, RECT{4, 0, 4, 6},
                   RECT{0, 3, 5, 2}}) {
    EXPECT_EQ(open.back->Lock(&bad, &part, DDLOCK_WAIT, nullptr), dd_error(150));
  }
  open.direct_draw->Release();
}

TEST_F(FlippingChainTest, AttachedSurfacesFollowTheChainsOrder) {
  Open open = open_screen(4, 4, 32, 2);
  ASSERT_NE(open.back, nullptr);
  DDSCAPS caps = {};
  EXPECT_EQ(open.primary->GetCaps(&caps), DD_OK);
  EXPECT_EQ(caps.dwCaps & (DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER),
            DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER);
  EXPECT_EQ(open.back->GetCaps(&caps), DD_OK);
  EXPECT_EQ(caps.dwCaps & (DDSCAPS_BACKBUFFER | DDSCAPS_FLIP), DDSCAPS_BACKBUFFER | DDSCAPS_FLIP);

  IDirectDrawSurface* third = nullptr;
  caps.dwCaps = DDSCAPS_FLIP;
  ASSERT_EQ(open.back->GetAttachedSurface(&caps, &third), DD_OK);
  EXPECT_NE(third, open.back);
  EXPECT_NE(third, open.primary);
  IDirectDrawSurface* around = nullptr;
  ASSERT_EQ(third->GetAttachedSurface(&caps, &around), DD_OK);
  EXPECT_EQ(around, open.primary);
  EXPECT_EQ(around->Release(), 1u);  // handing it out counted a reference
  caps.dwCaps = DDSCAPS_BACKBUFFER;
  EXPECT_EQ(open.back->GetAttachedSurface(&caps, &around), DDERR_NOTFOUND);
  EXPECT_EQ(around, nullptr);
  EXPECT_EQ(open.primary->GetAttachedSurface(nullptr, &around), DDERR_INVALIDPARAMS);
  EXPECT_EQ(open.primary->GetAttachedSurface(&caps, nullptr), DDERR_INVALIDPARAMS);
  // Releasing a back buffer does not take it from its chain.
  EXPECT_EQ(third->Release(), 0u);
  EXPECT_EQ(open.back->Release(), 0u);
  EXPECT_EQ(open.back->Release(), 0u);
  DDSURFACEDESC desc = lock(open.back);
  EXPECT_EQ(open.back->Unlock(desc.lpSurface), DD_OK);
  EXPECT_EQ(open.primary->Release(), 0u);
  open.direct_draw->Release();
}

TEST_F(FlippingChainTest, ALonePrimaryHasNoBackBufferAndDoesNotFlip) {
  const HWND window = make_window();
  IDirectDraw* direct_draw = create_direct_draw();
  ASSERT_EQ(direct_draw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  ASSERT_EQ(direct_draw->SetDisplayMode(4, 4, 32), DD_OK);
  DDSURFACEDESC request = {};
  request.dwSize = sizeof(request);
  request.dwFlags = DDSD_CAPS;
  request.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY;
  IDirectDrawSurface* primary = nullptr;
  ASSERT_EQ(direct_draw->CreateSurface(&request, &primary, nullptr), DD_OK);
  DDSCAPS caps = {DDSCAPS_BACKBUFFER};
  IDirectDrawSurface* back = nullptr;
  EXPECT_EQ(primary->GetAttachedSurface(&caps, &back), DDERR_NOTFOUND);
  EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), dd_error(582));
  const DDSURFACEDESC desc = lock(primary);
  EXPECT_EQ(primary->Unlock(desc.lpSurface), DD_OK);
  EXPECT_TRUE(backend.frames.empty());
  direct_draw->Release();
}

TEST_F(FlippingChainTest, CreateSurfaceGrantsOnlyThePrimaryInAMode) {
  const HWND window = make_window();
  IDirectDraw* direct_draw = create_direct_draw();
  IDirectDrawSurface* surface = nullptr;
  DDSURFACEDESC request = chain_request(2);
  EXPECT_EQ(direct_draw->CreateSurface(&request, &surface, nullptr), DDERR_NOEXCLUSIVEMODE);
  ASSERT_EQ(direct_draw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  EXPECT_EQ(direct_draw->CreateSurface(&request, &surface, nullptr), dd_error(587));
  ASSERT_EQ(direct_draw->SetDisplayMode(4, 4, 32), DD_OK);

  request = chain_request(3);
  EXPECT_EQ(direct_draw->CreateSurface(&request, &surface, nullptr), DDERR_OUTOFVIDEOMEMORY);
  request = chain_request(0);
  EXPECT_EQ(direct_draw->CreateSurface(&request, &surface, nullptr), dd_error(100));
  request = chain_request(2);
  request.ddsCaps.dwCaps &= ~DDSCAPS_COMPLEX;
  EXPECT_EQ(direct_draw->CreateSurface(&request, &surface, nullptr), dd_error(100));
  request = chain_request(2);
  request.ddsCaps.dwCaps &= ~DDSCAPS_PRIMARYSURFACE;
  EXPECT_EQ(direct_draw->CreateSurface(&request, &surface, nullptr), DDERR_UNSUPPORTED);
  request = chain_request(2);
  request.dwSize = 100;
  EXPECT_EQ(direct_draw->CreateSurface(&request, &surface, nullptr), DDERR_INVALIDPARAMS);
  request = chain_request(2);
  request.dwFlags |= DDSD_WIDTH;
  EXPECT_EQ(direct_draw->CreateSurface(&request, &surface, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(direct_draw->CreateSurface(nullptr, &surface, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(surface, nullptr);
  request = chain_request(2);
  EXPECT_EQ(direct_draw->CreateSurface(&request, nullptr, nullptr), DDERR_INVALIDPARAMS);

  ASSERT_EQ(direct_draw->CreateSurface(&request, &surface, nullptr), DD_OK);
  IDirectDrawSurface* second = nullptr;
  EXPECT_EQ(direct_draw->CreateSurface(&request, &second, nullptr), dd_error(564));
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(surface->Release(), 0u);
  EXPECT_EQ(direct_draw->CreateSurface(&request, &second, nullptr), DD_OK);
  direct_draw->Release();
}

TEST_F(FlippingChainTest, MisuseIsAnsweredWithErrors) {
  Open open = open_screen(6, 2, 32, 2);
  ASSERT_NE(open.back, nullptr);
  DDSURFACEDESC desc = lock(open.back);
  lock(open.back, dd_error(430));     // locked already
  lock(open.primary, dd_error(430));  // one lock per chain
  EXPECT_EQ(open.primary->Flip(nullptr, DDFLIP_WAIT), dd_error(430));
  EXPECT_EQ(open.primary->Unlock(desc.lpSurface), DDERR_NOTLOCKED);  // not the locked surface
  EXPECT_EQ(open.back->Unlock(static_cast<std::uint8_t*>(desc.lpSurface) + 1), DDERR_INVALIDPARAMS);
  EXPECT_EQ(open.back->Unlock(nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(open.back->Unlock(desc.lpSurface), DD_OK);
  EXPECT_EQ(open.back->Unlock(desc.lpSurface), DDERR_NOTLOCKED);
  EXPECT_EQ(open.back->Flip(nullptr, DDFLIP_WAIT), dd_error(582));
  IDirectDrawSurface* foreign = reinterpret_cast<IDirectDrawSurface*>(&desc);
  EXPECT_EQ(open.primary->Flip(foreign, DDFLIP_WAIT), DDERR_INVALIDPARAMS);

  DDSURFACEDESC wrong_size = {};
  wrong_size.dwSize = sizeof(wrong_size) - 4;
  EXPECT_EQ(open.back->Lock(nullptr, &wrong_size, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(open.back->Lock(nullptr, nullptr, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
  DDPIXELFORMAT format = {};
  format.dwSize = 8;
  EXPECT_EQ(open.primary->GetPixelFormat(&format), DDERR_INVALIDPARAMS);
  EXPECT_EQ(open.primary->GetPixelFormat(nullptr), DDERR_INVALIDPARAMS);
  EXPECT_TRUE(backend.frames.empty());

  // Released with a lock held: everything of the chain answers an error from now on.
  desc = lock(open.back);
  EXPECT_EQ(open.primary->Release(), 0u);
  for (IDirectDrawSurface* surface : {open.primary, open.back}) {
    lock(surface, dd_error(130));
    EXPECT_EQ(surface->Unlock(desc.lpSurface), dd_error(130));
    EXPECT_EQ(surface->Flip(nullptr, DDFLIP_WAIT), dd_error(130));
    EXPECT_EQ(surface->Restore(), dd_error(130));
    format.dwSize = sizeof(format);
    EXPECT_EQ(surface->GetPixelFormat(&format), dd_error(130));
    DDSCAPS caps = {DDSCAPS_BACKBUFFER};
    IDirectDrawSurface* attached = open.back;
    EXPECT_EQ(surface->GetAttachedSurface(&caps, &attached), dd_error(130));
    EXPECT_EQ(attached, nullptr);
    EXPECT_EQ(surface->Release(), 0u);
    EXPECT_EQ(surface->AddRef(), 0u);
  }
  EXPECT_TRUE(backend.frames.empty());
  open.direct_draw->Release();
}

TEST_F(FlippingChainTest, AFreshInstallRetiresWhatWasHandedOutBefore) {
  Open open = open_screen(4, 4, 32, 1);
  install_screen({Layout::xrgb8888});
  lock(open.back, dd_error(130));
  EXPECT_EQ(open.direct_draw->SetDisplayMode(4, 4, 32), dd_error(130));
  EXPECT_EQ(emulated::display_window_handle(), nullptr);
  EXPECT_FALSE(DestroyWindow(open.window));
}

}  // namespace
