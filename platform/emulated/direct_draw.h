// The DirectDraw object: cooperative level, display mode and the creation of the primary surface.
// Objects are never deleted, so a call on a released one answers an error instead of touching
// freed memory.
#pragma once

#include "platform/ddraw_unsupported.h"
#include "platform/emulated/platform_state.h"

namespace emulated::detail {

class EmulatedDirectDraw final : public UnsupportedDirectDraw {
 public:
  bool alive() const { return alive_; }
  // Dead from now on, holding nothing; for a fresh install.
  void retire() { alive_ = false; }

  DWORD AddRef() override;
  DWORD Release() override;
  HRESULT CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface,
                        IUnknown* outer) override;
  HRESULT RestoreDisplayMode() override;
  HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bits_per_pixel) override;
  HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event) override;

 private:
  bool holds_exclusive() const { return state().display.exclusive_owner == this; }
  void restore_mode();

  bool alive_ = true;
  DWORD references_ = 1;
};

// Nobody holds the screen exclusively any more.
void drop_exclusive_mode();
void retire_all_direct_draws();

}  // namespace emulated::detail
