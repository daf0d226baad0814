// A freshly installed emulated platform for each test, a window whose procedure records what it is
// handed, and a screen taken step by step up to a flipping chain.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/emulated/emulated_platform.h"
#include "tests/support/test_backend.h"

constexpr DWORD full_screen = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN;

// Every message a window of make_window was handed; WM_CLOSE goes on to the default procedure.
inline std::vector<MSG>& received() {
  static std::vector<MSG> messages;
  return messages;
}
inline LRESULT WINAPI recording_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  received().push_back({window, message, wparam, lparam, 0, {}});
  return message == WM_CLOSE ? DefWindowProcA(window, message, wparam, lparam) : 0;
}
inline HWND make_window() {
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = recording_proc;
  window_class.lpszClassName = "recording";
  RegisterClassA(&window_class);  // refused after the first time: the class is there already
  return CreateWindowExA(0, "recording", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                         nullptr);
}

inline IDirectDraw* another_direct_draw() {
  IDirectDraw* created = nullptr;
  EXPECT_EQ(DirectDrawCreate(nullptr, &created, nullptr), DD_OK);
  return created;
}

// A request for the primary surface with `back_buffers`; `without_caps` and `with_flags` spoil it.
inline DDSURFACEDESC request(DWORD back_buffers, DWORD without_caps = 0, DWORD with_flags = 0) {
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT | with_flags;
  desc.dwBackBufferCount = back_buffers;
  desc.ddsCaps.dwCaps =
      (DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY) &
      ~without_caps;
  return desc;
}

inline HRESULT lock(IDirectDrawSurface* surface, DDSURFACEDESC* desc = nullptr,
                    RECT* rect = nullptr) {
  DDSURFACEDESC own;
  desc = desc != nullptr ? desc : &own;
  *desc = {};
  desc->dwSize = sizeof(DDSURFACEDESC);
  return surface->Lock(rect, desc, DDLOCK_WAIT, nullptr);
}

// How far open_screen goes: a DirectDraw object for a new window, then exclusive mode, then a
// display mode, then a flipping chain and its back buffer.
enum class Stage { object, exclusive, mode, chain };
struct Screen {
  HWND window;
  IDirectDraw* dd;
  IDirectDrawSurface *primary = nullptr, *back = nullptr;
};
inline Screen open_screen(Stage stage, DWORD width = 6, DWORD height = 2, DWORD depth = 32,
                          DWORD back_buffers = 2) {
  Screen s{make_window(), another_direct_draw()};
  if (stage == Stage::object) return s;
  EXPECT_EQ(s.dd->SetCooperativeLevel(s.window, full_screen), DD_OK);
  if (stage == Stage::exclusive) return s;
  EXPECT_EQ(s.dd->SetDisplayMode(width, height, depth), DD_OK);
  if (stage == Stage::mode) return s;
  DDSURFACEDESC chain = request(back_buffers);
  DDSCAPS caps = {DDSCAPS_BACKBUFFER};
  EXPECT_EQ(s.dd->CreateSurface(&chain, &s.primary, nullptr), DD_OK);
  EXPECT_EQ(s.primary ? s.primary->GetAttachedSurface(&caps, &s.back) : DDERR_GENERIC, DD_OK);
  return s;
}

class PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override { install_screen({emulated::Layout::xrgb8888}); }
  void install_screen(std::vector<emulated::Layout> layouts, int row_padding = 0) {
    received().clear();
    emulated::install(backend, emulated::ScreenSettings{std::move(layouts), row_padding});
  }
  TestBackend backend;
};
