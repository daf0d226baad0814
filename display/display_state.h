// The state of the one display, shared by opening, presenting and the window procedure.
#pragma once

#include <cstdint>

#include "display/pixel_converters.h"
#include "platform/win32.h"

extern std::int32_t display_width;
extern std::int32_t display_height;
extern HMODULE ddraw_library;
extern IDirectDraw* direct_draw;
extern WNDCLASSA display_window_class;
extern HWND display_window;
extern IDirectDrawSurface* primary_surface;
extern IDirectDrawSurface* back_buffer;
extern PixelConverter row_converter;
extern std::int32_t display_active;
// The screen-saver switch as it was before the display took the screen; display_close puts it back.
extern BOOL screen_saver_setting;

LRESULT WINAPI display_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
