// The emulated DirectDraw object and its flipping chain: every misuse answered with the result
// DirectDraw gives for it in that state (before exclusive mode, before a mode, with a chain, with a
// lock held, after a mode change lost the chain, after the chain or the object was released, after
// a fresh install); the backend told of each change of exclusive mode and display mode exactly
// once; and what each flip shows.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/platform/platform_fixture.h"

namespace {

using emulated::Layout;
using DirectDraw = PlatformTest;

using enum Stage;

// Results ddraw.h defines beyond those platform/win32.h names.
constexpr HRESULT DDERR_INVALIDCAPS = dd_error(100);
constexpr HRESULT DDERR_INVALIDOBJECT = dd_error(130);
constexpr HRESULT DDERR_INVALIDRECT = dd_error(150);
constexpr HRESULT DDERR_SURFACEBUSY = dd_error(430);
constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = dd_error(564);
constexpr HRESULT DDERR_EXCLUSIVEMODEALREADYSET = dd_error(581);
constexpr HRESULT DDERR_NOTFLIPPABLE = dd_error(582);
constexpr HRESULT DDERR_WRONGMODE = dd_error(587);

GUID some_guid = {};  // a driver other than the default one
TestBackend other_backend;

HRESULT create(Screen& s, DDSURFACEDESC desc) {
  return s.dd->CreateSurface(&desc, &s.primary, nullptr);
}
RECT bad_rects[] = {{0, 0, 7, 2}, {4, 0, 4, 2}};  // past the right side, empty
DDSCAPS back_caps = {DDSCAPS_BACKBUFFER};
void* locked(Screen& s) {
  DDSURFACEDESC desc;
  EXPECT_EQ(lock(s.back, &desc), DD_OK);
  return desc.lpSurface;
}
// A mode of another depth: the chain made before is lost.
void lose(Screen& s) { EXPECT_EQ(s.dd->SetDisplayMode(6, 2, 16), DD_OK); }
void reinstall() { emulated::install(other_backend, {}); }

struct Misuse {
  Stage stage;
  const char* call_text;
  HRESULT (*call)(Screen&);
  HRESULT expected;
};

// The call's own text names the case.
// clang-format off
#define CALL(expression) #expression, []([[maybe_unused]] Screen& s) -> HRESULT { return expression; }
// clang-format on

const DWORD lone = DDSCAPS_FLIP | DDSCAPS_COMPLEX;  // spoilt from a chain request: a lone primary

const Misuse misuses[] = {
    {object, CALL(DirectDrawCreate(&some_guid, &s.dd, nullptr)), DDERR_INVALIDPARAMS},
    {object, CALL(s.dd->SetCooperativeLevel(nullptr, full_screen)), DDERR_INVALIDPARAMS},
    {object, CALL(s.dd->SetCooperativeLevel(s.window, DDSCL_EXCLUSIVE)), DDERR_INVALIDPARAMS},
    {object, CALL(s.dd->SetDisplayMode(6, 2, 32)), DDERR_NOEXCLUSIVEMODE},
    {object, CALL(create(s, request(2))), DDERR_NOEXCLUSIVEMODE},

    {exclusive, CALL(another_direct_draw()->SetCooperativeLevel(s.window, full_screen)),
     DDERR_EXCLUSIVEMODEALREADYSET},
    {exclusive, CALL(create(s, request(2))), DDERR_WRONGMODE},
    {exclusive, CALL(s.dd->SetDisplayMode(0, 2, 32)), DDERR_INVALIDMODE},
    {exclusive, CALL(s.dd->SetDisplayMode(6, 2, 24)), DDERR_INVALIDMODE},  // none offered
    {exclusive, CALL(s.dd->SetDisplayMode(0x40000000, 1, 32)), DDERR_INVALIDMODE},

    {mode, CALL(create(s, request(3))), DDERR_OUTOFVIDEOMEMORY},
    {mode, CALL(create(s, request(0))), DDERR_INVALIDCAPS},
    {mode, CALL(create(s, request(1, DDSCAPS_FLIP))), DDERR_INVALIDCAPS},
    {mode, CALL(create(s, request(2, DDSCAPS_PRIMARYSURFACE))), DDERR_UNSUPPORTED},
    {mode, CALL(create(s, request(2, 0, DDSD_WIDTH))), DDERR_INVALIDPARAMS},
    {mode, CALL((create(s, request(0, lone)), lock(s.primary))), DD_OK},
    {mode, CALL((create(s, request(0, lone)), s.primary->Flip(nullptr, 0))), DDERR_NOTFLIPPABLE},

    {chain, CALL(create(s, request(2))), DDERR_PRIMARYSURFACEALREADYEXISTS},
    {chain, CALL((s.primary->Release(), create(s, request(2)))), DD_OK},
    {chain, CALL(s.back->Flip(nullptr, 0)), DDERR_NOTFLIPPABLE},
    // Of the buffers, only the next in line may be named.
    {chain, CALL(s.primary->Flip(s.primary, 0)), DDERR_INVALIDPARAMS},
    {chain, CALL(s.primary->Flip(s.back, DDFLIP_WAIT)), DD_OK},
    {chain, CALL(lock(s.back, nullptr, &bad_rects[0])), DDERR_INVALIDRECT},
    {chain, CALL(lock(s.back, nullptr, &bad_rects[1])), DDERR_INVALIDRECT},
    {chain, CALL(s.primary->GetPixelFormat(nullptr)), DDERR_INVALIDPARAMS},
    {chain, CALL(s.back->GetAttachedSurface(&back_caps, &s.back)), DDERR_NOTFOUND},
    {chain, CALL(s.back->Unlock(nullptr)), DDERR_NOTLOCKED},
    // Setting the mode the chain was made in again loses nothing.
    {chain, CALL((s.dd->SetDisplayMode(6, 2, 32), s.primary->IsLost())), DD_OK},

    {chain, CALL((locked(s), lock(s.back))), DDERR_SURFACEBUSY},
    {chain, CALL((locked(s), lock(s.primary))), DDERR_SURFACEBUSY},
    {chain, CALL((locked(s), s.primary->Flip(nullptr, DDFLIP_WAIT))), DDERR_SURFACEBUSY},
    {chain, CALL(s.primary->Unlock(locked(s))), DDERR_NOTLOCKED},
    {chain, CALL(s.back->Unlock(static_cast<char*>(locked(s)) + 1)), DDERR_INVALIDPARAMS},
    {chain, CALL(s.back->Unlock(locked(s))), DD_OK},

    {chain, CALL((lose(s), s.primary->IsLost())), DDERR_SURFACELOST},
    {chain, CALL((lose(s), lock(s.back))), DDERR_SURFACELOST},
    {chain, CALL((lose(s), s.primary->Flip(nullptr, DDFLIP_WAIT))), DDERR_SURFACELOST},
    {chain, CALL((lose(s), s.primary->Restore())), DDERR_WRONGMODE},
    {chain, CALL((s.dd->RestoreDisplayMode(), lock(s.back))), DDERR_SURFACELOST},
    {chain, CALL((s.dd->RestoreDisplayMode(), s.primary->Restore())), DDERR_WRONGMODE},
    {chain, CALL((lose(s), s.dd->SetDisplayMode(6, 2, 32), s.primary->Restore(), lock(s.back))),
     DD_OK},

    // A chain released with a lock held: every surface of it answers, nothing is touched.
    {chain, CALL((locked(s), s.primary->Release(), lock(s.back))), DDERR_INVALIDOBJECT},
    {chain, CALL((s.primary->Release(), s.back->Unlock(nullptr))), DDERR_INVALIDOBJECT},
    {chain, CALL((s.primary->Release(), s.primary->Flip(nullptr, 0))), DDERR_INVALIDOBJECT},
    {chain, CALL((s.primary->Release(), s.back->Restore())), DDERR_INVALIDOBJECT},

    // The last release of the object takes its chain, mode and exclusive mode with it.
    {chain, CALL((s.dd->Release(), s.dd->SetDisplayMode(6, 2, 32))), DDERR_INVALIDOBJECT},
    {chain, CALL((s.dd->Release(), lock(s.back))), DDERR_INVALIDOBJECT},

    // A fresh install retires everything handed out before it.
    {chain, CALL((reinstall(), lock(s.back))), DDERR_INVALIDOBJECT},
    {chain, CALL((reinstall(), s.dd->SetDisplayMode(6, 2, 32))), DDERR_INVALIDOBJECT},
};

TEST_F(DirectDraw, EachMisuseGetsItsResult) {
  for (const Misuse& misuse : misuses) {
    install_screen({Layout::xrgb8888, Layout::rgb565});
    SCOPED_TRACE(misuse.call_text);
    Screen s = open_screen(misuse.stage);
    EXPECT_EQ(misuse.call(s), misuse.expected);
  }
}

TEST_F(DirectDraw, TheBackendHearsOfEachChangeOnce) {
  const HWND window = make_window();
  IDirectDraw* first = another_direct_draw();
  IDirectDraw* second = another_direct_draw();
  const std::pair<std::function<void()>, std::vector<std::string>> steps[] = {
      {[&] { first->SetCooperativeLevel(window, full_screen); }, {"exclusive"}},
      {[&] { first->SetCooperativeLevel(window, full_screen); }, {}},
      {[&] { second->SetCooperativeLevel(window, DDSCL_NORMAL); }, {}},  // not its to give back
      {[&] { first->SetDisplayMode(8, 2, 32); }, {"mode 8x2 xrgb8888"}},
      {[&] { first->SetDisplayMode(8, 2, 32); }, {}},
      {[&] { first->RestoreDisplayMode(); }, {"mode restored"}},
      {[&] { first->SetCooperativeLevel(window, DDSCL_NORMAL); }, {"shared"}},
      {[&] {
         first->SetCooperativeLevel(window, full_screen);
         first->SetDisplayMode(8, 2, 32);
       },
       {"exclusive", "mode 8x2 xrgb8888"}},
      {[&] { EXPECT_EQ(first->AddRef() + first->Release(), 3u); }, {}},  // 2, then 1
      // The last release gives back the mode and the screen.
      {[&] { EXPECT_EQ(first->Release(), 0u); }, {"mode restored", "shared"}},
      {[&] { second->SetCooperativeLevel(window, full_screen); }, {"exclusive"}},
      {[&] { EXPECT_TRUE(DestroyWindow(window)); }, {"shared"}},
  };
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    backend.events.clear();
    steps[i].first();
    EXPECT_EQ(backend.events, steps[i].second) << "step " << i;
  }
}

TEST_F(DirectDraw, EachFlipShowsTheBufferJustDrawnAndEveryBufferTakesItsTurn) {
  for (DWORD back_buffers : {1u, 2u}) {
    SCOPED_TRACE(back_buffers);
    // A depth takes the first offered layout of its bit count; 3-byte pixels, an odd pitch.
    install_screen({Layout::bgr565, Layout::rgb888, Layout::bgr888}, 1);
    backend = TestBackend();
    const Screen s = open_screen(Stage::chain, 5, 3, 24, back_buffers);
    std::set<void*> drawn;
    for (int frame = 0; frame < 7; ++frame) {
      DDSURFACEDESC desc;
      ASSERT_EQ(lock(s.back, &desc), DD_OK);
      EXPECT_EQ(desc.lPitch, 5 * 3 + 1);
      drawn.insert(desc.lpSurface);
      std::memset(desc.lpSurface, frame, static_cast<std::size_t>(desc.lPitch) * 3);
      ASSERT_EQ(s.back->Unlock(desc.lpSurface), DD_OK);
      ASSERT_EQ(s.primary->Flip(nullptr, frame % 2 == 0 ? DDFLIP_WAIT : 0), DD_OK);

      const PresentedFrame& shown = backend.frames.back();
      EXPECT_EQ(shown.pixels, desc.lpSurface);
      EXPECT_EQ(shown.pitch, desc.lPitch);
      EXPECT_EQ(shown.layout, Layout::rgb888);
      EXPECT_EQ(shown.bytes, std::vector<std::uint8_t>(shown.bytes.size(), frame));
      if (frame > static_cast<int>(back_buffers)) {
        EXPECT_EQ(shown.pixels, backend.frames[frame - back_buffers - 1].pixels);
      }
    }
    EXPECT_EQ(drawn.size(), back_buffers + 1);
    EXPECT_EQ(backend.retraces, 4);  // only the flips that asked to wait
  }
}

}  // namespace
