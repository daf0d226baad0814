#include "platform/emulated/surface.h"

#include <new>

#include "platform/ddraw_unsupported.h"
#include "platform/emulated/dd_errors.h"

namespace emulated::detail {

class EmulatedSurface final : public UnsupportedDirectDrawSurface {
 public:
  EmulatedSurface(Chain& chain, int position) : chain_(chain), position_(position) {}

  DWORD AddRef() override {
    if (!chain_.alive) return 0;
    return static_cast<DWORD>(position_ == 0 ? ++chain_.primary_references : ++references_);
  }

  // The back buffers belong to the chain: only the last release of the primary frees it.
  DWORD Release() override {
    record(Step::surface_release, "surface");
    if (!chain_.alive) return 0;
    if (position_ != 0) {
      if (references_ > 0) --references_;
      return static_cast<DWORD>(references_);
    }
    if (--chain_.primary_references > 0) return static_cast<DWORD>(chain_.primary_references);
    release_chain(chain_);
    return 0;
  }

  HRESULT Flip(LPDIRECTDRAWSURFACE target, DWORD flags) override {
    if (planned_failure(Step::flip, {flags})) return DDERR_GENERIC;
    if (!chain_.alive) return DDERR_INVALIDOBJECT;
    if (position_ != 0 || chain_.back_buffers == 0) return DDERR_NOTFLIPPABLE;
    // Flipping to a named buffer is only allowed for the next one in line.
    if (target != nullptr && target != chain_.surfaces[1].get()) return DDERR_INVALIDPARAMS;
    if (chain_.locked_position >= 0) return DDERR_SURFACEBUSY;
    if (chain_.lost()) return DDERR_SURFACELOST;
    if (state().display.exclusive_owner != chain_.owner) return DDERR_NOEXCLUSIVEMODE;

    if ((flags & DDFLIP_WAIT) != 0) backend().wait_for_retrace();
    chain_.rotation = (chain_.rotation + 1) % chain_.buffer_count();
    backend().present(
        Frame{chain_.buffer_at(0), chain_.width, chain_.height, chain_.pitch, chain_.layout});
    return DD_OK;
  }

  HRESULT GetAttachedSurface(LPDDSCAPS caps, LPDIRECTDRAWSURFACE* surface) override {
    const bool planned = planned_failure(Step::get_attached_surface);
    if (surface == nullptr) return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    if (planned) return DDERR_NOTFOUND;
    if (!chain_.alive) return DDERR_INVALIDOBJECT;
    if (caps == nullptr) return DDERR_INVALIDPARAMS;
    // Each surface of a chain has the next one attached, the last one the front.
    if (chain_.back_buffers == 0) return DDERR_NOTFOUND;
    const int next = (position_ + 1) % chain_.buffer_count();
    if ((caps_at(next) & caps->dwCaps) != caps->dwCaps) return DDERR_NOTFOUND;
    EmulatedSurface* attached = chain_.surfaces[static_cast<std::size_t>(next)].get();
    attached->AddRef();
    *surface = attached;
    return DD_OK;
  }

  HRESULT GetCaps(LPDDSCAPS caps) override {
    if (!chain_.alive) return DDERR_INVALIDOBJECT;
    if (caps == nullptr) return DDERR_INVALIDPARAMS;
    caps->dwCaps = caps_at(position_);
    return DD_OK;
  }

  HRESULT GetPixelFormat(LPDDPIXELFORMAT format) override {
    if (planned_failure(Step::get_pixel_format)) return DDERR_GENERIC;
    if (!chain_.alive) return DDERR_INVALIDOBJECT;
    if (format == nullptr || format->dwSize != sizeof(DDPIXELFORMAT)) return DDERR_INVALIDPARAMS;
    fill_format(*format);
    if (state().plan.pixel_format) *format = *state().plan.pixel_format;
    return DD_OK;
  }

  HRESULT GetSurfaceDesc(LPDDSURFACEDESC desc) override {
    if (!chain_.alive) return DDERR_INVALIDOBJECT;
    if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    describe(*desc);
    return DD_OK;
  }

  HRESULT IsLost() override {
    if (!chain_.alive) return DDERR_INVALIDOBJECT;
    return chain_.lost() ? DDERR_SURFACELOST : DD_OK;
  }

  HRESULT Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD, HANDLE event) override {
    if (planned_failure(Step::lock)) return DDERR_GENERIC;
    if (!chain_.alive) return DDERR_INVALIDOBJECT;
    if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC) || event != nullptr) {
      return DDERR_INVALIDPARAMS;
    }
    // One lock at a time per chain; nothing else ever keeps the emulated memory busy, so
    // DDLOCK_WAIT changes nothing.
    if (chain_.locked_position >= 0) return DDERR_SURFACEBUSY;
    if (chain_.lost()) return DDERR_SURFACELOST;
    std::size_t offset = 0;
    if (rect != nullptr) {
      if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right ||
          rect->top >= rect->bottom || rect->right > chain_.width || rect->bottom > chain_.height) {
        return DDERR_INVALIDRECT;
      }
      offset = static_cast<std::size_t>(rect->top) * static_cast<std::size_t>(chain_.pitch) +
               static_cast<std::size_t>(rect->left) *
                   static_cast<std::size_t>(layout_info(chain_.layout).bytes_per_pixel);
    }
    std::uint8_t* pointer = chain_.buffer_at(position_) + offset;
    describe(*desc);
    desc->dwFlags |= DDSD_LPSURFACE;
    desc->lpSurface = pointer;
    chain_.locked_position = position_;
    chain_.locked_pointer = pointer;
    return DD_OK;
  }

  HRESULT Restore() override {
    if (planned_failure(Step::restore)) return DDERR_WRONGMODE;
    if (!chain_.alive) return DDERR_INVALIDOBJECT;
    if (!chain_.lost()) return DD_OK;
    // The buffers come back only in the mode they were made for.
    const Display& display = state().display;
    if (!display.mode_set || display.width != chain_.width || display.height != chain_.height ||
        display.layout != chain_.layout) {
      return DDERR_WRONGMODE;
    }
    chain_.mode_generation = display.mode_generation;
    return DD_OK;
  }

  HRESULT Unlock(LPVOID surface_data) override {
    record(Step::unlock);
    if (!chain_.alive) return DDERR_INVALIDOBJECT;
    if (chain_.locked_position != position_) return DDERR_NOTLOCKED;
    if (surface_data != chain_.locked_pointer) return DDERR_INVALIDPARAMS;
    chain_.locked_position = -1;
    chain_.locked_pointer = nullptr;
    return DD_OK;
  }

 private:
  DWORD caps_at(int position) const {
    if (chain_.back_buffers == 0) return DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY;
    constexpr DWORD in_chain = DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
    if (position == 0) return in_chain | DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER;
    if (position == 1) return in_chain | DDSCAPS_BACKBUFFER;
    return in_chain;
  }

  void fill_format(DDPIXELFORMAT& format) const {
    const LayoutInfo& info = layout_info(chain_.layout);
    format.dwFlags = DDPF_RGB;
    format.dwFourCC = 0;
    format.dwRGBBitCount = info.bit_count;
    format.dwRBitMask = info.red_mask;
    format.dwGBitMask = info.green_mask;
    format.dwBBitMask = info.blue_mask;
    format.dwRGBAlphaBitMask = 0;
  }

  void describe(DDSURFACEDESC& desc) const {
    const DWORD size = desc.dwSize;
    desc = DDSURFACEDESC{};
    desc.dwSize = size;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc.dwWidth = static_cast<DWORD>(chain_.width);
    desc.dwHeight = static_cast<DWORD>(chain_.height);
    desc.lPitch = chain_.pitch;
    if (position_ == 0 && chain_.back_buffers > 0) {
      desc.dwFlags |= DDSD_BACKBUFFERCOUNT;
      desc.dwBackBufferCount = static_cast<DWORD>(chain_.back_buffers);
    }
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    fill_format(desc.ddpfPixelFormat);
    desc.ddsCaps.dwCaps = caps_at(position_);
  }

  Chain& chain_;
  int position_;
  int references_ = 0;  // of a back buffer, beyond the chain's own hold on it
};

namespace {

std::vector<std::unique_ptr<Chain>>& all_chains() {
  static std::vector<std::unique_ptr<Chain>> chains;
  return chains;
}

}  // namespace

HRESULT create_chain(const EmulatedDirectDraw& owner, int back_buffers,
                     IDirectDrawSurface** primary) {
  const Display& display = state().display;
  auto chain = std::make_unique<Chain>();
  chain->owner = &owner;
  chain->back_buffers = back_buffers;
  chain->width = display.width;
  chain->height = display.height;
  chain->layout = display.layout;
  chain->pitch = surface_pitch(display.width, display.layout);
  chain->mode_generation = display.mode_generation;
  chain->buffer_bytes =
      static_cast<std::size_t>(chain->pitch) * static_cast<std::size_t>(chain->height);
  try {
    chain->memory.assign(chain->buffer_bytes * static_cast<std::size_t>(back_buffers + 1), 0);
  } catch (const std::bad_alloc&) {
    return DDERR_OUTOFVIDEOMEMORY;
  } catch (const std::length_error&) {
    return DDERR_OUTOFVIDEOMEMORY;
  }
  for (int position = 0; position <= back_buffers; ++position) {
    chain->surfaces.push_back(std::make_unique<EmulatedSurface>(*chain, position));
  }
  *primary = chain->surfaces[0].get();
  all_chains().push_back(std::move(chain));
  return DD_OK;
}

Chain* live_chain() {
  for (auto& chain : all_chains()) {
    if (chain->alive) return chain.get();
  }
  return nullptr;
}

void release_chain(Chain& chain) {
  chain.alive = false;
  chain.locked_position = -1;
  chain.locked_pointer = nullptr;
  std::vector<std::uint8_t>().swap(chain.memory);
}

void retire_all_chains() {
  for (auto& chain : all_chains()) release_chain(*chain);
}

}  // namespace emulated::detail
