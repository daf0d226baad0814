#include <memory>

#include "platform/capture/capture_platform.h"

namespace capture {

CaptureBackend& install(Settings settings) {
  // Kept until the process ends: the platform calls it from then on.
  static std::unique_ptr<CaptureBackend> installed;
  emulated::ScreenSettings screen;
  screen.layouts = {settings.layout};
  auto next = std::make_unique<CaptureBackend>(std::move(settings));
  emulated::install(*next, screen);
  audio::install_output(next->audio());
  installed = std::move(next);
  return *installed;
}

}  // namespace capture
