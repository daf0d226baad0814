// The emulated DirectDraw object and its flipping chain: every misuse answered with the result
// DirectDraw gives for it in that state (before exclusive mode, before a mode, with a chain, with a
// lock held, after a mode change lost the chain, after the chain or the object was released, after
// a fresh install); the backend told of each change of exclusive mode and display mode exactly
// once; and what each flip shows.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/emulated/dd_errors.h"
#include "tests/platform/platform_fixture.h"

namespace {

using DirectDraw = PlatformTest;
using namespace emulated::detail;  // the results beyond those the display names

constexpr DWORD full_screen = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN;

// What the last lock told of the surface: its pitch and memory.
DDSURFACEDESC locked;
HRESULT lock(IDirectDrawSurface* surface, RECT* rect = nullptr) {
  locked = {};
  locked.dwSize = sizeof(DDSURFACEDESC);
  return surface->Lock(rect, &locked, DDLOCK_WAIT, nullptr);
}

// How far open_screen goes: a DirectDraw object for a new window, then exclusive mode, then the
// mode 6x2 at 24 bits, then a chain of two back buffers and the first of them.
enum class Stage { object, exclusive, mode, chain };
using enum Stage;
struct Screen {
  HWND window;
  IDirectDraw* dd;
  IDirectDrawSurface *primary = nullptr, *back = nullptr;
};
// Asks for the primary surface with `back_buffers`; `without_caps` and `with_flags` spoil the ask.
HRESULT create(Screen& s, DWORD back_buffers, DWORD without_caps = 0, DWORD with_flags = 0) {
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT | with_flags;
  desc.dwBackBufferCount = back_buffers;
  desc.ddsCaps.dwCaps =
      (DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY) &
      ~without_caps;
  return s.dd->CreateSurface(&desc, &s.primary, nullptr);
}

DDSCAPS back_caps = {DDSCAPS_BACKBUFFER};
Screen open_screen(Stage stage) {
  Screen s{make_window(), nullptr};
  EXPECT_EQ(DirectDrawCreate(nullptr, &s.dd, nullptr), DD_OK);
  EXPECT_TRUE(stage < exclusive || s.dd->SetCooperativeLevel(s.window, full_screen) == DD_OK);
  EXPECT_TRUE(stage < mode || s.dd->SetDisplayMode(6, 2, 24) == DD_OK);
  EXPECT_TRUE(stage < chain || (create(s, 2) == DD_OK &&
                                s.primary->GetAttachedSurface(&back_caps, &s.back) == DD_OK));
  return s;
}

GUID some_guid = {};  // a driver other than the default one
TestBackend other_backend;

RECT bad_rects[] = {{0, 0, 7, 2}, {4, 0, 4, 2}};  // past the right side, empty
// A mode of another depth: the chain made before is lost.
void lose(Screen& s) { EXPECT_EQ(s.dd->SetDisplayMode(6, 2, 16), DD_OK); }
void reinstall() { emulated::install(other_backend, {}); }

// The stage the screen is taken to, the call made then and its text, and the result it gets.
using Misuse = std::tuple<Stage, const char*, HRESULT (*)(Screen&), HRESULT>;

// The call's own text names the case.
// clang-format off
#define CALL(expression) #expression, []([[maybe_unused]] Screen& s) -> HRESULT { return expression; }
// clang-format on

const DWORD lone = DDSCAPS_FLIP | DDSCAPS_COMPLEX;  // spoilt from a chain request: a lone primary

// A row for each check of the emulation; a check that several calls share (a released object or
// chain, a lost chain) stands once for each way of getting there.
const Misuse misuses[] = {
    {object, CALL(DirectDrawCreate(&some_guid, &s.dd, nullptr)), DDERR_INVALIDPARAMS},
    {object, CALL(s.dd->SetCooperativeLevel(nullptr, full_screen)), DDERR_INVALIDPARAMS},
    {object, CALL(s.dd->SetCooperativeLevel(s.window, DDSCL_EXCLUSIVE)), DDERR_INVALIDPARAMS},
    {object, CALL(s.dd->SetDisplayMode(6, 2, 24)), DDERR_NOEXCLUSIVEMODE},
    {object, CALL(create(s, 2)), DDERR_NOEXCLUSIVEMODE},

    {exclusive, CALL(open_screen(object).dd->SetCooperativeLevel(s.window, full_screen)),
     DDERR_EXCLUSIVEMODEALREADYSET},
    {exclusive, CALL(create(s, 2)), DDERR_WRONGMODE},
    {exclusive, CALL(s.dd->SetDisplayMode(0, 2, 24)), DDERR_INVALIDMODE},
    {exclusive, CALL(s.dd->SetDisplayMode(6, 2, 32)), DDERR_INVALIDMODE},  // none offered
    {exclusive, CALL(s.dd->SetDisplayMode(0x40000000, 1, 24)), DDERR_INVALIDMODE},

    {mode, CALL(create(s, 3)), DDERR_OUTOFVIDEOMEMORY},
    {mode, CALL(create(s, 0)), DDERR_INVALIDCAPS},
    {mode, CALL(create(s, 1, DDSCAPS_FLIP)), DDERR_INVALIDCAPS},
    {mode, CALL(create(s, 2, DDSCAPS_PRIMARYSURFACE)), DDERR_UNSUPPORTED},
    {mode, CALL(create(s, 2, 0, DDSD_WIDTH)), DDERR_INVALIDPARAMS},
    {mode, CALL((create(s, 0, lone), lock(s.primary))), DD_OK},
    {mode, CALL((create(s, 0, lone), s.primary->Flip(nullptr, 0))), DDERR_NOTFLIPPABLE},

    {chain, CALL(create(s, 2)), DDERR_PRIMARYSURFACEALREADYEXISTS},
    {chain, CALL((s.primary->Release(), create(s, 2))), DD_OK},
    {chain, CALL(s.back->Flip(nullptr, 0)), DDERR_NOTFLIPPABLE},
    // Of the buffers, only the next in line may be named.
    {chain, CALL(s.primary->Flip(s.primary, 0)), DDERR_INVALIDPARAMS},
    {chain, CALL(s.primary->Flip(s.back, DDFLIP_WAIT)), DD_OK},
    {chain, CALL(lock(s.back, &bad_rects[0])), DDERR_INVALIDRECT},
    {chain, CALL(lock(s.back, &bad_rects[1])), DDERR_INVALIDRECT},
    {chain, CALL(s.primary->GetPixelFormat(nullptr)), DDERR_INVALIDPARAMS},
    {chain, CALL(s.back->GetAttachedSurface(&back_caps, &s.back)), DDERR_NOTFOUND},
    // Setting the mode the chain was made in again loses nothing.
    {chain, CALL((s.dd->SetDisplayMode(6, 2, 24), s.primary->IsLost())), DD_OK},

    // One lock at a time in the whole chain, undone only by its own surface and pointer.
    {chain, CALL((lock(s.back), lock(s.primary))), DDERR_SURFACEBUSY},
    {chain, CALL((lock(s.back), s.primary->Flip(nullptr, DDFLIP_WAIT))), DDERR_SURFACEBUSY},
    {chain, CALL((lock(s.back), s.primary->Unlock(locked.lpSurface))), DDERR_NOTLOCKED},
    {chain, CALL((lock(s.back), s.back->Unlock(static_cast<char*>(locked.lpSurface) + 1))),
     DDERR_INVALIDPARAMS},

    {chain, CALL((lose(s), s.primary->IsLost())), DDERR_SURFACELOST},
    {chain, CALL((lose(s), lock(s.back))), DDERR_SURFACELOST},
    {chain, CALL((lose(s), s.primary->Flip(nullptr, DDFLIP_WAIT))), DDERR_SURFACELOST},
    {chain, CALL((lose(s), s.primary->Restore())), DDERR_WRONGMODE},
    // The desktop's mode loses the chain too, and cannot bring it back.
    {chain, CALL((s.dd->RestoreDisplayMode(), s.primary->Restore())), DDERR_WRONGMODE},
    {chain, CALL((lose(s), s.dd->SetDisplayMode(6, 2, 24), s.primary->Restore(), lock(s.back))),
     DD_OK},

    // A released chain's surfaces stay, each answering without touching its freed buffers.
    {chain, CALL((s.primary->Release(), s.primary->Flip(nullptr, 0))), DDERR_INVALIDOBJECT},
    {chain, CALL((s.primary->Release(), s.back->Unlock(nullptr))), DDERR_INVALIDOBJECT},
    {chain, CALL((s.primary->Release(), s.back->Restore())), DDERR_INVALIDOBJECT},
    // The last release of the object takes its chain, mode and exclusive mode with it.
    {chain, CALL((s.dd->Release(), s.dd->SetDisplayMode(6, 2, 24))), DDERR_INVALIDOBJECT},
    {chain, CALL((s.dd->Release(), lock(s.back))), DDERR_INVALIDOBJECT},
    // A fresh install retires everything handed out before it.
    {chain, CALL((reinstall(), lock(s.back))), DDERR_INVALIDOBJECT},
    {chain, CALL((reinstall(), s.dd->SetDisplayMode(6, 2, 24))), DDERR_INVALIDOBJECT},
};

TEST_F(DirectDraw, EachMisuseGetsItsResult) {
  for (const auto& [stage, call_text, call, expected] : misuses) {
    start();
    SCOPED_TRACE(call_text);
    Screen s = open_screen(stage);
    EXPECT_EQ(call(s), expected);
  }
}

TEST_F(DirectDraw, TheBackendHearsOfEachChangeOnce) {
  const HWND window = make_window();
  IDirectDraw* first = open_screen(object).dd;
  IDirectDraw* second = open_screen(object).dd;
  // What the backend heard while the argument was worked out.
  auto heard = [&](auto) { return std::exchange(backend.events, {}); };
  using Heard = std::vector<std::string>;
  EXPECT_EQ(heard(first->SetCooperativeLevel(window, full_screen)), Heard{"exclusive"});
  EXPECT_EQ(heard(first->SetCooperativeLevel(window, full_screen)), Heard{});
  EXPECT_EQ(heard(second->SetCooperativeLevel(window, DDSCL_NORMAL)), Heard{});  // not its own
  EXPECT_EQ(heard(first->SetDisplayMode(8, 2, 24)), Heard{"mode 8x2 rgb888"});
  EXPECT_EQ(heard(first->SetDisplayMode(8, 2, 24)), Heard{});
  EXPECT_EQ(heard(first->RestoreDisplayMode()), Heard{"mode restored"});
  EXPECT_EQ(heard(first->SetCooperativeLevel(window, DDSCL_NORMAL)), Heard{"shared"});
  first->SetCooperativeLevel(window, full_screen);
  EXPECT_EQ(heard(first->SetDisplayMode(8, 2, 24)), (Heard{"exclusive", "mode 8x2 rgb888"}));
  EXPECT_EQ(first->AddRef(), 2u);
  EXPECT_EQ(heard(first->Release()), Heard{});
  // The last release gives back the mode and the screen.
  EXPECT_EQ(heard(first->Release()), (Heard{"mode restored", "shared"}));
  EXPECT_EQ(heard(second->SetCooperativeLevel(window, full_screen)), Heard{"exclusive"});
  EXPECT_EQ(heard(DestroyWindow(window)), Heard{"shared"});
}

// Frame n fills its buffer with n + 1, so that no two frames, nor a buffer never drawn, look alike.
TEST_F(DirectDraw, EachFlipShowsTheBufferJustDrawnAndEveryBufferTakesItsTurn) {
  const Screen s = open_screen(chain);
  std::set<void*> drawn;
  for (int frame = 0; frame < 7; ++frame) {
    ASSERT_EQ(lock(s.back), DD_OK);
    drawn.insert(locked.lpSurface);
    std::memset(locked.lpSurface, frame + 1, static_cast<std::size_t>(locked.lPitch) * 2);
    ASSERT_EQ(s.back->Unlock(locked.lpSurface), DD_OK);
    ASSERT_EQ(s.primary->Flip(nullptr, frame % 2 == 0 ? DDFLIP_WAIT : 0), DD_OK);

    const PresentedFrame& shown = backend.frames.back();
    EXPECT_EQ(std::pair(locked.lPitch, shown.pitch), std::pair(6 * 3 + 1, 6 * 3 + 1));
    EXPECT_EQ(shown.bytes, std::vector<std::uint8_t>(shown.bytes.size(), frame + 1));
  }
  EXPECT_EQ(drawn.size(), 3u);
  EXPECT_EQ(backend.retraces, 4);  // only the flips that asked to wait
}

}  // namespace
