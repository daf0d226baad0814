#include <cstddef>

#include "display/display.h"
#include "display/display_state.h"

namespace {

// Hands every waiting message of the display window to display_window_proc; never blocks.
void pump_messages() {
  MSG message;
  while (PeekMessageA(&message, display_window, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace

int display_update(const std::uint32_t* pixels) {
  pump_messages();
  if (display_active == 0) {
    Sleep(1);  // in the background: drop the frame, but do not spin
    return 1;
  }

  // Cheap when nothing was lost, and it brings the chain back after a mode switch away and back.
  primary_surface->Restore();

  DDSURFACEDESC surface = {};
  surface.dwSize = sizeof(surface);
  if (FAILED(back_buffer->Lock(nullptr, &surface, DDLOCK_WAIT, nullptr))) return 0;

  // An empty frame converts nothing; the converters are never handed a count below 1.
  if (display_width > 0) {
    auto* destination = static_cast<std::uint8_t*>(surface.lpSurface);
    const std::ptrdiff_t pitch = surface.lPitch;
    for (std::int32_t row = 0; row < display_height; ++row) {
      row_converter(pixels + static_cast<std::ptrdiff_t>(row) * display_width,
                    destination + static_cast<std::ptrdiff_t>(row) * pitch, display_width);
    }
  }

  back_buffer->Unlock(surface.lpSurface);
  primary_surface->Flip(nullptr, DDFLIP_WAIT);  // the back buffer now designates the next one
  Sleep(0);
  return 1;
}
