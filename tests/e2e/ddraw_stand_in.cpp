// ddraw.dll for the Wine tests: the system's DirectDraw with a flip that takes at least 20 ms, so
// that a show lasts at least 5,202 x 20 ms = 104 s however fast the machine draws, and a case has
// it on screen for as long as it looks. Built with SIXTEEN_BIT_ONLY it also offers only 16-bit
// display modes, as a card without 24- and 32-bit ones would. Placed beside show.exe and loaded
// first with WINEDLLOVERRIDES=ddraw=n,b; every other call goes straight to the system's.
#define CINTERFACE
#include <windows.h>
// After windows.h, which it needs.
#include <ddraw.h>

namespace {

using CreateFunction = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);

constexpr DWORD flip_period_ms = 20;

// The system objects' own tables with entries replaced; the objects keep their state and identity.
IDirectDrawVtbl methods;
IDirectDrawSurfaceVtbl surface_methods;
decltype(methods.SetDisplayMode) system_set_display_mode;
decltype(methods.CreateSurface) system_create_surface;
decltype(surface_methods.Flip) system_flip;

HRESULT STDMETHODCALLTYPE flip(IDirectDrawSurface* self, IDirectDrawSurface* target, DWORD flags) {
  Sleep(flip_period_ms);
  return system_flip(self, target, flags);
}

HRESULT STDMETHODCALLTYPE create_surface(IDirectDraw* self, DDSURFACEDESC* description,
                                         IDirectDrawSurface** out, IUnknown* outer) {
  const HRESULT result = system_create_surface(self, description, out, outer);
  if (SUCCEEDED(result) && (description->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) != 0) {
    surface_methods = *(*out)->lpVtbl;
    system_flip = surface_methods.Flip;
    surface_methods.Flip = flip;
    (*out)->lpVtbl = &surface_methods;
  }
  return result;
}

[[maybe_unused]] HRESULT STDMETHODCALLTYPE set_display_mode(IDirectDraw* self, DWORD width,
                                                            DWORD height, DWORD bits_per_pixel) {
  if (bits_per_pixel != 16) return DDERR_INVALIDMODE;
  return system_set_display_mode(self, width, height, bits_per_pixel);
}

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI
    DirectDrawCreate(GUID* driver, LPDIRECTDRAW* out, IUnknown* outer) {
  // By full path: the name alone would find this library again.
  char path[MAX_PATH];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH - 16);
  if (length == 0 || length >= MAX_PATH - 16) return DDERR_GENERIC;
  lstrcatA(path, "\\ddraw.dll");
  HMODULE system = LoadLibraryA(path);
  if (system == nullptr) return DDERR_GENERIC;
  const auto create = reinterpret_cast<CreateFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(system, "DirectDrawCreate")));
  if (create == nullptr) return DDERR_GENERIC;
  const HRESULT result = create(driver, out, outer);
  if (SUCCEEDED(result)) {
    methods = *(*out)->lpVtbl;
    system_create_surface = methods.CreateSurface;
    methods.CreateSurface = create_surface;
#ifdef SIXTEEN_BIT_ONLY
    system_set_display_mode = methods.SetDisplayMode;
    methods.SetDisplayMode = set_display_mode;
#endif
    (*out)->lpVtbl = &methods;
  }
  return result;
}
