#include "display/display.h"
#include "display/display_state.h"

namespace {

using DirectDrawCreateFunction = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);

// What this call has taken so far beyond the state variables themselves.
struct OpenProgress {
  bool window_created = false;
  bool exclusive = false;
  bool mode_switched = false;
};

// Gives back everything taken, newest first, so that a failed open leaves the desktop as it was.
// The window class stays registered, as it does after display_close.
int fail_open(const OpenProgress& progress) {
  if (primary_surface != nullptr) {
    primary_surface->Release();  // takes the back buffers of the chain with it
    primary_surface = nullptr;
  }
  back_buffer = nullptr;
  if (progress.mode_switched) direct_draw->RestoreDisplayMode();
  if (progress.exclusive) direct_draw->SetCooperativeLevel(display_window, DDSCL_NORMAL);
  if (direct_draw != nullptr) {
    direct_draw->Release();
    direct_draw = nullptr;
  }
  if (progress.window_created) DestroyWindow(display_window);
  display_window = nullptr;
  if (ddraw_library != nullptr) {
    FreeLibrary(ddraw_library);
    ddraw_library = nullptr;
  }
  row_converter = nullptr;
  display_active = 0;
  return 0;
}

HRESULT create_flipping_chain(DWORD back_buffer_count, IDirectDrawSurface** surface) {
  DDSURFACEDESC request = {};
  request.dwSize = sizeof(request);
  request.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  request.dwBackBufferCount = back_buffer_count;
  request.ddsCaps.dwCaps =
      DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
  return direct_draw->CreateSurface(&request, surface, nullptr);
}

}  // namespace

int display_open(const char* title, std::int32_t width, std::int32_t height) {
  OpenProgress progress;
  display_width = width;
  display_height = height;

  ddraw_library = LoadLibraryA("ddraw.dll");
  if (ddraw_library == nullptr) return fail_open(progress);
  FARPROC create_address = GetProcAddress(ddraw_library, "DirectDrawCreate");
  if (create_address == nullptr) return fail_open(progress);
  // Through void (*)() because that is the one function pointer type any other converts to cleanly.
  const auto create =
      reinterpret_cast<DirectDrawCreateFunction>(reinterpret_cast<void (*)()>(create_address));
  IDirectDraw* created = nullptr;
  if (FAILED(create(nullptr, &created, nullptr))) return fail_open(progress);
  direct_draw = created;

  // No icon, class cursor or background brush: the window is never seen behind the flipping chain.
  display_window_class = {};
  display_window_class.lpfnWndProc = display_window_proc;
  display_window_class.lpszClassName = title;
  RegisterClassA(&display_window_class);  // an earlier registration of the class serves as well

  // Left hidden and sized 0 x 0: exclusive mode gives it the whole screen.
  display_window =
      CreateWindowExA(0, title, title, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  progress.window_created = display_window != nullptr;

  if (FAILED(
          direct_draw->SetCooperativeLevel(display_window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN))) {
    return fail_open(progress);
  }
  progress.exclusive = true;

  const auto mode_width = static_cast<DWORD>(width);
  const auto mode_height = static_cast<DWORD>(height);
  if (FAILED(direct_draw->SetDisplayMode(mode_width, mode_height, 32)) &&
      FAILED(direct_draw->SetDisplayMode(mode_width, mode_height, 24)) &&
      FAILED(direct_draw->SetDisplayMode(mode_width, mode_height, 16))) {
    return fail_open(progress);
  }
  progress.mode_switched = true;

  IDirectDrawSurface* front = nullptr;
  if (FAILED(create_flipping_chain(2, &front))) {
    front = nullptr;
    if (FAILED(create_flipping_chain(1, &front))) return fail_open(progress);
  }
  primary_surface = front;

  DDSCAPS back_buffer_caps = {};
  back_buffer_caps.dwCaps = DDSCAPS_BACKBUFFER;
  IDirectDrawSurface* attached = nullptr;
  if (FAILED(primary_surface->GetAttachedSurface(&back_buffer_caps, &attached))) {
    return fail_open(progress);
  }
  back_buffer = attached;

  DDPIXELFORMAT format = {};
  format.dwSize = sizeof(format);
  if (FAILED(primary_surface->GetPixelFormat(&format))) return fail_open(progress);
  if ((format.dwFlags & DDPF_RGB) == 0) return fail_open(progress);
  row_converter = select_converter(format.dwRGBBitCount, format.dwRBitMask, format.dwGBitMask,
                                   format.dwBBitMask);
  if (row_converter == nullptr) return fail_open(progress);

  // Remember the user's setting so that closing puts back exactly that; unreadable counts as on.
  BOOL screen_saver = TRUE;
  if (!SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &screen_saver, 0)) screen_saver = TRUE;
  screen_saver_setting = screen_saver;
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 0, nullptr, 0);
  return 1;
}
