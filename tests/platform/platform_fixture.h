// A freshly installed emulated platform for each test, and ways to reach the usual states:
// a window, a DirectDraw object, exclusive mode, a display mode and a flipping chain.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/emulated/emulated_platform.h"
#include "tests/support/test_backend.h"

struct ReceivedMessage {
  HWND window;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};

class PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override { install_screen({emulated::Layout::xrgb8888}); }

  void install_screen(std::vector<emulated::Layout> layouts, int row_padding = 0) {
    received().clear();
    emulated::ScreenSettings settings;
    settings.layouts = std::move(layouts);
    settings.row_padding = row_padding;
    emulated::install(backend, settings);
  }

  // Every message a window of class "recording" was handed; WM_CLOSE goes on to the default.
  static std::vector<ReceivedMessage>& received() {
    static std::vector<ReceivedMessage> messages;
    return messages;
  }
  static LRESULT WINAPI recording_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    received().push_back({window, message, wparam, lparam});
    if (message == WM_CLOSE) return DefWindowProcA(window, message, wparam, lparam);
    return 0;
  }

  HWND make_window() {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = recording_proc;
    window_class.lpszClassName = "recording";
    RegisterClassA(&window_class);  // the second time it is already there
    return CreateWindowExA(0, "recording", "recording", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           nullptr, nullptr);
  }

  static IDirectDraw* create_direct_draw() {
    IDirectDraw* created = nullptr;
    EXPECT_EQ(DirectDrawCreate(nullptr, &created, nullptr), DD_OK);
    return created;
  }

 public:
  static DDSURFACEDESC chain_request(DWORD back_buffers) {
    DDSURFACEDESC request = {};
    request.dwSize = sizeof(request);
    request.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    request.dwBackBufferCount = back_buffers;
    request.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
    return request;
  }

 protected:
  // A window in exclusive mode at width x height x depth, with a chain of `back_buffers`.
  struct Open {
    HWND window = nullptr;
    IDirectDraw* direct_draw = nullptr;
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* back = nullptr;
  };
  Open open_screen(int width, int height, DWORD depth, DWORD back_buffers) {
    Open open;
    open.window = make_window();
    open.direct_draw = create_direct_draw();
    EXPECT_EQ(
        open.direct_draw->SetCooperativeLevel(open.window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
        DD_OK);
    EXPECT_EQ(open.direct_draw->SetDisplayMode(static_cast<DWORD>(width),
                                               static_cast<DWORD>(height), depth),
              DD_OK);
    DDSURFACEDESC request = chain_request(back_buffers);
    EXPECT_EQ(open.direct_draw->CreateSurface(&request, &open.primary, nullptr), DD_OK);
    if (open.primary != nullptr) {
      DDSCAPS caps = {DDSCAPS_BACKBUFFER};
      EXPECT_EQ(open.primary->GetAttachedSurface(&caps, &open.back), DD_OK);
    }
    return open;
  }

 public:
  static DDSURFACEDESC lock(IDirectDrawSurface* surface, HRESULT expected = DD_OK) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof(desc);
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), expected);
    return desc;
  }

 protected:
  TestBackend backend;
};
