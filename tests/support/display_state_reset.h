// Puts the display state back as it is at process start, so that each test opens a fresh display.
#pragma once

#include "display/display_state.h"

inline void reset_display_state() {
  display_width = 0;
  display_height = 0;
  ddraw_library = nullptr;
  direct_draw = nullptr;
  display_window_class = {};
  display_window = nullptr;
  primary_surface = nullptr;
  back_buffer = nullptr;
  row_converter = nullptr;
  display_active = 0;
  screen_saver_setting = TRUE;
}
