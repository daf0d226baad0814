#include "display/display.h"
#include "display/display_state.h"

void display_close() {
  if (primary_surface != nullptr) {
    primary_surface->Release();  // the back buffers belong to its chain and go with it
    primary_surface = nullptr;
  }
  if (direct_draw != nullptr) {
    direct_draw->RestoreDisplayMode();
    direct_draw->SetCooperativeLevel(display_window, DDSCL_NORMAL);
    direct_draw->Release();
    direct_draw = nullptr;
  }
  DestroyWindow(display_window);
  if (ddraw_library != nullptr) {
    FreeLibrary(ddraw_library);
    ddraw_library = nullptr;
  }
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, static_cast<UINT>(screen_saver_setting), nullptr,
                        0);
}
