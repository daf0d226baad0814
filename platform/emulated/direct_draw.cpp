#include "platform/emulated/direct_draw.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/emulated/dd_errors.h"
#include "platform/emulated/surface.h"

namespace emulated::detail {
namespace {

constexpr DWORD DDWAITVB_BLOCKBEGIN = 0x00000001;

std::vector<std::unique_ptr<EmulatedDirectDraw>>& all_direct_draws() {
  static std::vector<std::unique_ptr<EmulatedDirectDraw>> objects;
  return objects;
}

// The first offered layout of that bit count.
const Layout* offered_layout(DWORD bits_per_pixel) {
  for (const Layout& layout : state().settings.layouts) {
    if (layout_info(layout).bit_count == bits_per_pixel) return &layout;
  }
  return nullptr;
}

}  // namespace

void drop_exclusive_mode() {
  Display& display = state().display;
  if (display.exclusive_owner == nullptr) return;
  display.exclusive_owner = nullptr;
  display.exclusive_window = nullptr;
  backend().exclusive_mode(false);
}

void retire_all_direct_draws() {
  for (auto& object : all_direct_draws()) object->retire();
}

DWORD EmulatedDirectDraw::AddRef() {
  if (!alive_) return 0;
  return ++references_;
}

DWORD EmulatedDirectDraw::Release() {
  record(Step::direct_draw_release, "ddraw");
  if (!alive_) return 0;
  if (--references_ > 0) return references_;
  // The last reference takes everything the object holds with it.
  alive_ = false;
  Chain* chain = live_chain();
  if (chain != nullptr && chain->owner == this) release_chain(*chain);
  if (holds_exclusive()) {
    restore_mode();
    drop_exclusive_mode();
  }
  return 0;
}

HRESULT EmulatedDirectDraw::CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface,
                                          IUnknown* outer) {
  const bool planned =
      planned_failure(Step::create_surface,
                      {desc != nullptr ? static_cast<std::int64_t>(desc->dwBackBufferCount) : -1});
  if (surface == nullptr) return DDERR_INVALIDPARAMS;
  *surface = nullptr;
  if (!alive_) return DDERR_INVALIDOBJECT;
  if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC) || outer != nullptr) {
    return DDERR_INVALIDPARAMS;
  }
  if ((desc->dwFlags & DDSD_CAPS) == 0) return DDERR_INVALIDPARAMS;
  const DWORD caps = desc->ddsCaps.dwCaps;
  // Only the screen itself is emulated, and its size and format are the mode's.
  if ((caps & DDSCAPS_PRIMARYSURFACE) == 0) return DDERR_UNSUPPORTED;
  if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) != 0) {
    return DDERR_INVALIDPARAMS;
  }

  int back_buffers = 0;
  if ((caps & DDSCAPS_FLIP) != 0) {
    if ((caps & DDSCAPS_COMPLEX) == 0 || (desc->dwFlags & DDSD_BACKBUFFERCOUNT) == 0 ||
        desc->dwBackBufferCount == 0) {
      return DDERR_INVALIDCAPS;
    }
    // The emulated video memory holds three screens.
    if (desc->dwBackBufferCount > 2) return DDERR_OUTOFVIDEOMEMORY;
    back_buffers = static_cast<int>(desc->dwBackBufferCount);
  } else if ((desc->dwFlags & DDSD_BACKBUFFERCOUNT) != 0 && desc->dwBackBufferCount != 0) {
    return DDERR_INVALIDCAPS;
  }

  if (!holds_exclusive()) return DDERR_NOEXCLUSIVEMODE;
  if (!state().display.mode_set) return DDERR_WRONGMODE;
  if (live_chain() != nullptr) return DDERR_PRIMARYSURFACEALREADYEXISTS;
  if (planned) return DDERR_OUTOFVIDEOMEMORY;
  return create_chain(*this, back_buffers, surface);
}

void EmulatedDirectDraw::restore_mode() {
  Display& display = state().display;
  if (!display.mode_set) return;
  display.mode_set = false;
  ++display.mode_generation;
  backend().display_mode_restored();
}

HRESULT EmulatedDirectDraw::RestoreDisplayMode() {
  record(Step::restore_display_mode);
  if (!alive_) return DDERR_INVALIDOBJECT;
  if (!holds_exclusive()) return DDERR_NOEXCLUSIVEMODE;
  restore_mode();
  return DD_OK;
}

HRESULT EmulatedDirectDraw::SetCooperativeLevel(HWND window, DWORD flags) {
  if (planned_failure(Step::set_cooperative_level, {flags})) return DDERR_GENERIC;
  if (!alive_) return DDERR_INVALIDOBJECT;
  const bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
  const bool fullscreen = (flags & DDSCL_FULLSCREEN) != 0;
  const bool normal = (flags & DDSCL_NORMAL) != 0;
  Display& display = state().display;

  if (exclusive && fullscreen && !normal) {
    if (find_window(window) == nullptr) return DDERR_INVALIDPARAMS;
    if (display.exclusive_owner != nullptr && !holds_exclusive()) {
      return DDERR_EXCLUSIVEMODEALREADYSET;
    }
    const bool newly_taken = display.exclusive_owner == nullptr;
    display.exclusive_owner = this;
    display.exclusive_window = window;
    // Told last, so that the backend may already talk to the window.
    if (newly_taken) backend().exclusive_mode(true);
    return DD_OK;
  }
  if (normal && !exclusive && !fullscreen) {
    if (holds_exclusive()) drop_exclusive_mode();
    return DD_OK;
  }
  return DDERR_INVALIDPARAMS;
}

HRESULT EmulatedDirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bits_per_pixel) {
  if (planned_failure(Step::set_display_mode, {width, height, bits_per_pixel})) {
    return DDERR_INVALIDMODE;
  }
  if (!alive_) return DDERR_INVALIDOBJECT;
  if (!holds_exclusive()) return DDERR_NOEXCLUSIVEMODE;
  const Layout* layout = offered_layout(bits_per_pixel);
  if (layout == nullptr || width == 0 || height == 0) return DDERR_INVALIDMODE;
  // The row pitch must fit a LONG, and the buffers the address space.
  const std::uint64_t pitch = std::uint64_t{width} * layout_info(*layout).bytes_per_pixel +
                              static_cast<std::uint64_t>(state().settings.row_padding);
  if (pitch > 0x7FFFFFFF || height > 0x7FFFFFFF) return DDERR_INVALIDMODE;

  Display& display = state().display;
  const bool same = display.mode_set && display.width == static_cast<int>(width) &&
                    display.height == static_cast<int>(height) && display.layout == *layout;
  if (!same) {
    display.mode_set = true;
    display.width = static_cast<int>(width);
    display.height = static_cast<int>(height);
    display.layout = *layout;
    ++display.mode_generation;
    backend().display_mode(display.width, display.height, display.layout);
  }
  return DD_OK;
}

HRESULT EmulatedDirectDraw::WaitForVerticalBlank(DWORD flags, HANDLE event) {
  if (!alive_) return DDERR_INVALIDOBJECT;
  if (flags != DDWAITVB_BLOCKBEGIN || event != nullptr) return DDERR_UNSUPPORTED;
  backend().wait_for_retrace();
  return DD_OK;
}

}  // namespace emulated::detail

HRESULT WINAPI DirectDrawCreate(GUID* driver, LPDIRECTDRAW* direct_draw, IUnknown* outer) {
  if (emulated::detail::planned_failure(emulated::Step::direct_draw_create)) {
    if (direct_draw != nullptr) *direct_draw = nullptr;
    return DDERR_GENERIC;
  }
  if (direct_draw == nullptr) return DDERR_INVALIDPARAMS;
  *direct_draw = nullptr;
  // Only the default driver exists, and the object cannot be aggregated.
  if (driver != nullptr || outer != nullptr) return DDERR_INVALIDPARAMS;
  auto& objects = emulated::detail::all_direct_draws();
  objects.push_back(std::make_unique<emulated::detail::EmulatedDirectDraw>());
  *direct_draw = objects.back().get();
  return DD_OK;
}
