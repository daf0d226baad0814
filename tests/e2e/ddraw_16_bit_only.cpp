// ddraw.dll for the Wine tests: the system's DirectDraw offering only 16-bit display modes, as a
// card without 24- and 32-bit ones would. Placed beside show.exe and loaded first with
// WINEDLLOVERRIDES=ddraw=n,b; every call but SetDisplayMode goes straight to the system's.
#define CINTERFACE
#include <windows.h>
// After windows.h, which it needs.
#include <ddraw.h>

namespace {

using CreateFunction = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);
using SetDisplayModeFunction = HRESULT(STDMETHODCALLTYPE*)(IDirectDraw*, DWORD, DWORD, DWORD);

// The system object's own table with one entry replaced; the object keeps its state and identity.
IDirectDrawVtbl methods;
SetDisplayModeFunction system_set_display_mode;

HRESULT STDMETHODCALLTYPE set_display_mode(IDirectDraw* self, DWORD width, DWORD height,
                                           DWORD bits_per_pixel) {
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
    system_set_display_mode = methods.SetDisplayMode;
    methods.SetDisplayMode = set_display_mode;
    (*out)->lpVtbl = &methods;
  }
  return result;
}
