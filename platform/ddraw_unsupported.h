// Bases for DirectDraw implementations of our own: every method answers DDERR_UNSUPPORTED, so an
// implementation overrides only the calls the display makes. Not for Windows, where DirectDraw is
// real.
#pragma once

#include "platform/win32.h"

struct UnsupportedDirectDrawSurface : IDirectDrawSurface {
  virtual ~UnsupportedDirectDrawSurface() = default;
  HRESULT QueryInterface(REFIID, LPVOID* object) override {
    if (object != nullptr) *object = nullptr;
    return DDERR_UNSUPPORTED;
  }
  DWORD AddRef() override { return 1; }
  DWORD Release() override { return 0; }
  HRESULT AddAttachedSurface(LPDIRECTDRAWSURFACE) override { return DDERR_UNSUPPORTED; }
  HRESULT AddOverlayDirtyRect(LPRECT) override { return DDERR_UNSUPPORTED; }
  HRESULT Blt(LPRECT, LPDIRECTDRAWSURFACE, LPRECT, DWORD, DDBLTFX*) override {
    return DDERR_UNSUPPORTED;
  }
  HRESULT BltBatch(DDBLTBATCH*, DWORD, DWORD) override { return DDERR_UNSUPPORTED; }
  HRESULT BltFast(DWORD, DWORD, LPDIRECTDRAWSURFACE, LPRECT, DWORD) override {
    return DDERR_UNSUPPORTED;
  }
  HRESULT DeleteAttachedSurface(DWORD, LPDIRECTDRAWSURFACE) override { return DDERR_UNSUPPORTED; }
  HRESULT EnumAttachedSurfaces(LPVOID, LPDDENUMSURFACESCALLBACK) override {
    return DDERR_UNSUPPORTED;
  }
  HRESULT EnumOverlayZOrders(DWORD, LPVOID, LPDDENUMSURFACESCALLBACK) override {
    return DDERR_UNSUPPORTED;
  }
  HRESULT Flip(LPDIRECTDRAWSURFACE, DWORD) override { return DDERR_UNSUPPORTED; }
  HRESULT GetAttachedSurface(LPDDSCAPS, LPDIRECTDRAWSURFACE* surface) override {
    if (surface != nullptr) *surface = nullptr;
    return DDERR_UNSUPPORTED;
  }
  HRESULT GetBltStatus(DWORD) override { return DDERR_UNSUPPORTED; }
  HRESULT GetCaps(LPDDSCAPS) override { return DDERR_UNSUPPORTED; }
  HRESULT GetClipper(IDirectDrawClipper**) override { return DDERR_UNSUPPORTED; }
  HRESULT GetColorKey(DWORD, LPDDCOLORKEY) override { return DDERR_UNSUPPORTED; }
  HRESULT GetDC(HDC*) override { return DDERR_UNSUPPORTED; }
  HRESULT GetFlipStatus(DWORD) override { return DDERR_UNSUPPORTED; }
  HRESULT GetOverlayPosition(LPLONG, LPLONG) override { return DDERR_UNSUPPORTED; }
  HRESULT GetPalette(IDirectDrawPalette**) override { return DDERR_UNSUPPORTED; }
  HRESULT GetPixelFormat(LPDDPIXELFORMAT) override { return DDERR_UNSUPPORTED; }
  HRESULT GetSurfaceDesc(LPDDSURFACEDESC) override { return DDERR_UNSUPPORTED; }
  HRESULT Initialize(IDirectDraw*, LPDDSURFACEDESC) override { return DDERR_UNSUPPORTED; }
  HRESULT IsLost() override { return DDERR_UNSUPPORTED; }
  HRESULT Lock(LPRECT, LPDDSURFACEDESC, DWORD, HANDLE) override { return DDERR_UNSUPPORTED; }
  HRESULT ReleaseDC(HDC) override { return DDERR_UNSUPPORTED; }
  HRESULT Restore() override { return DDERR_UNSUPPORTED; }
  HRESULT SetClipper(IDirectDrawClipper*) override { return DDERR_UNSUPPORTED; }
  HRESULT SetColorKey(DWORD, LPDDCOLORKEY) override { return DDERR_UNSUPPORTED; }
  HRESULT SetOverlayPosition(LONG, LONG) override { return DDERR_UNSUPPORTED; }
  HRESULT SetPalette(IDirectDrawPalette*) override { return DDERR_UNSUPPORTED; }
  HRESULT Unlock(LPVOID) override { return DDERR_UNSUPPORTED; }
  HRESULT UpdateOverlay(LPRECT, LPDIRECTDRAWSURFACE, LPRECT, DWORD, DDOVERLAYFX*) override {
    return DDERR_UNSUPPORTED;
  }
  HRESULT UpdateOverlayDisplay(DWORD) override { return DDERR_UNSUPPORTED; }
  HRESULT UpdateOverlayZOrder(DWORD, LPDIRECTDRAWSURFACE) override { return DDERR_UNSUPPORTED; }
};

struct UnsupportedDirectDraw : IDirectDraw {
  virtual ~UnsupportedDirectDraw() = default;
  HRESULT QueryInterface(REFIID, LPVOID* object) override {
    if (object != nullptr) *object = nullptr;
    return DDERR_UNSUPPORTED;
  }
  DWORD AddRef() override { return 1; }
  DWORD Release() override { return 0; }
  HRESULT Compact() override { return DDERR_UNSUPPORTED; }
  HRESULT CreateClipper(DWORD, IDirectDrawClipper**, IUnknown*) override {
    return DDERR_UNSUPPORTED;
  }
  HRESULT CreatePalette(DWORD, PALETTEENTRY*, IDirectDrawPalette**, IUnknown*) override {
    return DDERR_UNSUPPORTED;
  }
  HRESULT CreateSurface(LPDDSURFACEDESC, LPDIRECTDRAWSURFACE* surface, IUnknown*) override {
    if (surface != nullptr) *surface = nullptr;
    return DDERR_UNSUPPORTED;
  }
  HRESULT DuplicateSurface(LPDIRECTDRAWSURFACE, LPDIRECTDRAWSURFACE*) override {
    return DDERR_UNSUPPORTED;
  }
  HRESULT EnumDisplayModes(DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMMODESCALLBACK) override {
    return DDERR_UNSUPPORTED;
  }
  HRESULT EnumSurfaces(DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMSURFACESCALLBACK) override {
    return DDERR_UNSUPPORTED;
  }
  HRESULT FlipToGDISurface() override { return DDERR_UNSUPPORTED; }
  HRESULT GetCaps(LPDDCAPS, LPDDCAPS) override { return DDERR_UNSUPPORTED; }
  HRESULT GetDisplayMode(LPDDSURFACEDESC) override { return DDERR_UNSUPPORTED; }
  HRESULT GetFourCCCodes(LPDWORD, LPDWORD) override { return DDERR_UNSUPPORTED; }
  HRESULT GetGDISurface(LPDIRECTDRAWSURFACE*) override { return DDERR_UNSUPPORTED; }
  HRESULT GetMonitorFrequency(LPDWORD) override { return DDERR_UNSUPPORTED; }
  HRESULT GetScanLine(LPDWORD) override { return DDERR_UNSUPPORTED; }
  HRESULT GetVerticalBlankStatus(LPBOOL) override { return DDERR_UNSUPPORTED; }
  HRESULT Initialize(GUID*) override { return DDERR_UNSUPPORTED; }
  HRESULT RestoreDisplayMode() override { return DDERR_UNSUPPORTED; }
  HRESULT SetCooperativeLevel(HWND, DWORD) override { return DDERR_UNSUPPORTED; }
  HRESULT SetDisplayMode(DWORD, DWORD, DWORD) override { return DDERR_UNSUPPORTED; }
  HRESULT WaitForVerticalBlank(DWORD, HANDLE) override { return DDERR_UNSUPPORTED; }
};
