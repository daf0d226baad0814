// The operating system as the show sees it.
//
// On Windows this is the real <windows.h> and <ddraw.h>. Elsewhere it declares exactly the subset
// the display code uses, with the platform's own names and the 32-bit x86 record layouts
// (fixed-width fields, so the layouts hold on 64-bit hosts too, pointers aside). A platform library
// under platform/ (or the test fake) supplies the functions.
#pragma once

#if defined(_WIN32)

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <ddraw.h>
#include <windows.h>

#else

#include <cstdint>

#define WINAPI

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = std::uint32_t;
using BOOL = std::int32_t;
using ATOM = std::uint16_t;
using HRESULT = LONG;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using LPVOID = void*;
using PVOID = void*;
using LPCSTR = const char*;
using LPDWORD = DWORD*;
using LPLONG = LONG*;
using LPBOOL = BOOL*;

// Handles are distinct pointer types, as with STRICT.
struct HWND__;
struct HINSTANCE__;
struct HICON__;
struct HBRUSH__;
struct HMENU__;
struct HDC__;
using HWND = HWND__*;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
using HICON = HICON__*;
using HCURSOR = HICON;
using HBRUSH = HBRUSH__*;
using HMENU = HMENU__*;
using HDC = HDC__*;
using HANDLE = void*;

using FARPROC = INT_PTR(WINAPI*)();
using WNDPROC = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

struct POINT {
  LONG x;
  LONG y;
};

struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};
using LPRECT = RECT*;

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};
using LPMSG = MSG*;

struct WNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
};

struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
};
using REFIID = const GUID&;

// Window messages, keys and flags.
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_USER = 0x0400;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;
constexpr WPARAM VK_RETURN = 0x0D;
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr DWORD WS_POPUP = 0x80000000u;
constexpr UINT SPI_GETSCREENSAVEACTIVE = 16;
constexpr UINT SPI_SETSCREENSAVEACTIVE = 17;

// KERNEL32
HMODULE WINAPI LoadLibraryA(LPCSTR name);
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name);
BOOL WINAPI FreeLibrary(HMODULE module);
void WINAPI Sleep(DWORD milliseconds);
[[noreturn]] void WINAPI ExitProcess(UINT exit_code);

// USER32
ATOM WINAPI RegisterClassA(const WNDCLASSA* window_class);
HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style,
                            int x, int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param);
BOOL WINAPI DestroyWindow(HWND window);
BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filter_min, UINT filter_max, UINT remove);
BOOL WINAPI TranslateMessage(const MSG* msg);
LRESULT WINAPI DispatchMessageA(const MSG* msg);
LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
HCURSOR WINAPI SetCursor(HCURSOR cursor);
BOOL WINAPI SystemParametersInfoA(UINT action, UINT uiparam, PVOID pvparam, UINT winini);

// DirectDraw (first-version interfaces only)

constexpr HRESULT DD_OK = 0;
constexpr HRESULT dd_error(DWORD code) { return static_cast<HRESULT>(0x88760000u | code); }
constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT DDERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT DDERR_INVALIDMODE = dd_error(180);
constexpr HRESULT DDERR_NOEXCLUSIVEMODE = dd_error(225);
constexpr HRESULT DDERR_NOTFOUND = dd_error(255);
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = dd_error(380);
constexpr HRESULT DDERR_SURFACELOST = dd_error(450);
constexpr HRESULT DDERR_WASSTILLDRAWING = dd_error(540);
constexpr HRESULT DDERR_NOTLOCKED = dd_error(584);
constexpr bool FAILED(HRESULT result) { return result < 0; }
constexpr bool SUCCEEDED(HRESULT result) { return result >= 0; }

constexpr DWORD DDSCL_FULLSCREEN = 0x00000001;
constexpr DWORD DDSCL_NORMAL = 0x00000008;
constexpr DWORD DDSCL_EXCLUSIVE = 0x00000010;

constexpr DWORD DDSD_CAPS = 0x00000001;
constexpr DWORD DDSD_HEIGHT = 0x00000002;
constexpr DWORD DDSD_WIDTH = 0x00000004;
constexpr DWORD DDSD_PITCH = 0x00000008;
constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x00000020;
constexpr DWORD DDSD_LPSURFACE = 0x00000800;
constexpr DWORD DDSD_PIXELFORMAT = 0x00001000;

constexpr DWORD DDSCAPS_BACKBUFFER = 0x00000004;
constexpr DWORD DDSCAPS_COMPLEX = 0x00000008;
constexpr DWORD DDSCAPS_FLIP = 0x00000010;
constexpr DWORD DDSCAPS_FRONTBUFFER = 0x00000020;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x00000200;
constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x00004000;

constexpr DWORD DDPF_RGB = 0x00000040;
constexpr DWORD DDLOCK_WAIT = 0x00000001;
constexpr DWORD DDFLIP_WAIT = 0x00000001;

struct DDSCAPS {
  DWORD dwCaps;
};
using LPDDSCAPS = DDSCAPS*;

struct DDCOLORKEY {
  DWORD dwColorSpaceLowValue;
  DWORD dwColorSpaceHighValue;
};
using LPDDCOLORKEY = DDCOLORKEY*;

struct DDPIXELFORMAT {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwFourCC;
  union {
    DWORD dwRGBBitCount;
    DWORD dwYUVBitCount;
  };
  union {
    DWORD dwRBitMask;
    DWORD dwYBitMask;
  };
  union {
    DWORD dwGBitMask;
    DWORD dwUBitMask;
  };
  union {
    DWORD dwBBitMask;
    DWORD dwVBitMask;
  };
  union {
    DWORD dwRGBAlphaBitMask;
    DWORD dwYUVAlphaBitMask;
  };
};
using LPDDPIXELFORMAT = DDPIXELFORMAT*;

struct DDSURFACEDESC {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwHeight;
  DWORD dwWidth;
  union {
    LONG lPitch;
    DWORD dwLinearSize;
  };
  DWORD dwBackBufferCount;
  union {
    DWORD dwMipMapCount;
    DWORD dwZBufferBitDepth;
    DWORD dwRefreshRate;
  };
  DWORD dwAlphaBitDepth;
  DWORD dwReserved;
  LPVOID lpSurface;
  DDCOLORKEY ddckCKDestOverlay;
  DDCOLORKEY ddckCKDestBlt;
  DDCOLORKEY ddckCKSrcOverlay;
  DDCOLORKEY ddckCKSrcBlt;
  DDPIXELFORMAT ddpfPixelFormat;
  DDSCAPS ddsCaps;
};
using LPDDSURFACEDESC = DDSURFACEDESC*;

// Records the show never fills; only their names are needed for the method tables.
struct DDCAPS;
struct DDBLTFX;
struct DDBLTBATCH;
struct DDOVERLAYFX;
struct PALETTEENTRY;
struct IDirectDrawClipper;
struct IDirectDrawPalette;
struct IDirectDrawSurface;

using LPDDCAPS = DDCAPS*;
using LPDIRECTDRAWSURFACE = IDirectDrawSurface*;
using LPDDENUMMODESCALLBACK = HRESULT(WINAPI*)(LPDDSURFACEDESC, LPVOID);
using LPDDENUMSURFACESCALLBACK = HRESULT(WINAPI*)(LPDIRECTDRAWSURFACE, LPDDSURFACEDESC, LPVOID);

struct IUnknown {
  virtual HRESULT QueryInterface(REFIID iid, LPVOID* object) = 0;
  virtual DWORD AddRef() = 0;
  virtual DWORD Release() = 0;

 protected:
  ~IUnknown() = default;
};

// Methods in the published order of the first-version interfaces.
struct IDirectDrawSurface : IUnknown {
  virtual HRESULT AddAttachedSurface(LPDIRECTDRAWSURFACE surface) = 0;
  virtual HRESULT AddOverlayDirtyRect(LPRECT rect) = 0;
  virtual HRESULT Blt(LPRECT dest, LPDIRECTDRAWSURFACE src_surface, LPRECT src, DWORD flags,
                      DDBLTFX* fx) = 0;
  virtual HRESULT BltBatch(DDBLTBATCH* batch, DWORD count, DWORD flags) = 0;
  virtual HRESULT BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE src_surface, LPRECT src,
                          DWORD trans) = 0;
  virtual HRESULT DeleteAttachedSurface(DWORD flags, LPDIRECTDRAWSURFACE surface) = 0;
  virtual HRESULT EnumAttachedSurfaces(LPVOID context, LPDDENUMSURFACESCALLBACK callback) = 0;
  virtual HRESULT EnumOverlayZOrders(DWORD flags, LPVOID context,
                                     LPDDENUMSURFACESCALLBACK callback) = 0;
  virtual HRESULT Flip(LPDIRECTDRAWSURFACE target, DWORD flags) = 0;
  virtual HRESULT GetAttachedSurface(LPDDSCAPS caps, LPDIRECTDRAWSURFACE* surface) = 0;
  virtual HRESULT GetBltStatus(DWORD flags) = 0;
  virtual HRESULT GetCaps(LPDDSCAPS caps) = 0;
  virtual HRESULT GetClipper(IDirectDrawClipper** clipper) = 0;
  virtual HRESULT GetColorKey(DWORD flags, LPDDCOLORKEY key) = 0;
  virtual HRESULT GetDC(HDC* dc) = 0;
  virtual HRESULT GetFlipStatus(DWORD flags) = 0;
  virtual HRESULT GetOverlayPosition(LPLONG x, LPLONG y) = 0;
  virtual HRESULT GetPalette(IDirectDrawPalette** palette) = 0;
  virtual HRESULT GetPixelFormat(LPDDPIXELFORMAT format) = 0;
  virtual HRESULT GetSurfaceDesc(LPDDSURFACEDESC desc) = 0;
  virtual HRESULT Initialize(struct IDirectDraw* direct_draw, LPDDSURFACEDESC desc) = 0;
  virtual HRESULT IsLost() = 0;
  virtual HRESULT Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD flags, HANDLE event) = 0;
  virtual HRESULT ReleaseDC(HDC dc) = 0;
  virtual HRESULT Restore() = 0;
  virtual HRESULT SetClipper(IDirectDrawClipper* clipper) = 0;
  virtual HRESULT SetColorKey(DWORD flags, LPDDCOLORKEY key) = 0;
  virtual HRESULT SetOverlayPosition(LONG x, LONG y) = 0;
  virtual HRESULT SetPalette(IDirectDrawPalette* palette) = 0;
  virtual HRESULT Unlock(LPVOID surface_data) = 0;
  virtual HRESULT UpdateOverlay(LPRECT src, LPDIRECTDRAWSURFACE dest_surface, LPRECT dest,
                                DWORD flags, DDOVERLAYFX* fx) = 0;
  virtual HRESULT UpdateOverlayDisplay(DWORD flags) = 0;
  virtual HRESULT UpdateOverlayZOrder(DWORD flags, LPDIRECTDRAWSURFACE reference) = 0;

 protected:
  ~IDirectDrawSurface() = default;
};

struct IDirectDraw : IUnknown {
  virtual HRESULT Compact() = 0;
  virtual HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, IUnknown* outer) = 0;
  virtual HRESULT CreatePalette(DWORD flags, PALETTEENTRY* entries, IDirectDrawPalette** palette,
                                IUnknown* outer) = 0;
  virtual HRESULT CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface,
                                IUnknown* outer) = 0;
  virtual HRESULT DuplicateSurface(LPDIRECTDRAWSURFACE surface, LPDIRECTDRAWSURFACE* copy) = 0;
  virtual HRESULT EnumDisplayModes(DWORD flags, LPDDSURFACEDESC desc, LPVOID context,
                                   LPDDENUMMODESCALLBACK callback) = 0;
  virtual HRESULT EnumSurfaces(DWORD flags, LPDDSURFACEDESC desc, LPVOID context,
                               LPDDENUMSURFACESCALLBACK callback) = 0;
  virtual HRESULT FlipToGDISurface() = 0;
  virtual HRESULT GetCaps(LPDDCAPS driver_caps, LPDDCAPS hel_caps) = 0;
  virtual HRESULT GetDisplayMode(LPDDSURFACEDESC desc) = 0;
  virtual HRESULT GetFourCCCodes(LPDWORD count, LPDWORD codes) = 0;
  virtual HRESULT GetGDISurface(LPDIRECTDRAWSURFACE* surface) = 0;
  virtual HRESULT GetMonitorFrequency(LPDWORD frequency) = 0;
  virtual HRESULT GetScanLine(LPDWORD line) = 0;
  virtual HRESULT GetVerticalBlankStatus(LPBOOL in_blank) = 0;
  virtual HRESULT Initialize(GUID* driver) = 0;
  virtual HRESULT RestoreDisplayMode() = 0;
  virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
  virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bits_per_pixel) = 0;
  virtual HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event) = 0;

 protected:
  ~IDirectDraw() = default;
};
using LPDIRECTDRAW = IDirectDraw*;

// The export that "ddraw.dll" is searched for; a platform library provides it and hands its address
// out through GetProcAddress.
HRESULT WINAPI DirectDrawCreate(GUID* driver, LPDIRECTDRAW* direct_draw, IUnknown* outer);

#endif  // _WIN32

// The published 32-bit x86 sizes; the Windows headers and ours must both agree with them.
#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(DDSURFACEDESC) == 108, "DDSURFACEDESC layout");
static_assert(sizeof(DDPIXELFORMAT) == 32, "DDPIXELFORMAT layout");
static_assert(sizeof(DDSCAPS) == 4, "DDSCAPS layout");
static_assert(sizeof(WNDCLASSA) == 40, "WNDCLASSA layout");
static_assert(sizeof(MSG) == 28, "MSG layout");
#endif
static_assert(sizeof(DDPIXELFORMAT) == 32, "DDPIXELFORMAT has no pointers: 32 bytes everywhere");
