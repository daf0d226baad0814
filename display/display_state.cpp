#include "display/display_state.h"

std::int32_t display_width = 0;
std::int32_t display_height = 0;
HMODULE ddraw_library = nullptr;
IDirectDraw* direct_draw = nullptr;
WNDCLASSA display_window_class = {};
HWND display_window = nullptr;
IDirectDrawSurface* primary_surface = nullptr;
IDirectDrawSurface* back_buffer = nullptr;
PixelConverter row_converter = nullptr;
std::int32_t display_active = 0;

// On until display_open has read the real setting.
BOOL screen_saver_setting = TRUE;
