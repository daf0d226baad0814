// A scripted fake of the platform subset the display uses (library loading, window class and
// window, message queue, DirectDraw object and flipping chain, sleeping, process exit, the
// screen-saver switch) and of the four music calls. It records every call in order, can make any
// step fail, report any pixel format and pitch, lose surfaces, and queue messages for the display
// window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace fake {

// What ExitProcess does: throw ProcessExit (the test catches it and looks at the log), or print the
// call log to standard error and end the process with the code (for death tests).
enum class ExitMode { Throw, Exit };

struct ProcessExit {
  UINT code;
};

struct PixelFormat {
  DWORD flags = DDPF_RGB;
  DWORD bit_count = 32;
  DWORD red_mask = 0xFF0000;
  DWORD green_mask = 0x00FF00;
  DWORD blue_mask = 0x0000FF;
};

struct Script {
  bool fail_load_library = false;
  bool fail_get_proc_address = false;
  bool fail_direct_draw_create = false;
  bool fail_register_class = false;  // RegisterClassA returns 0; the window is still created
  bool fail_create_window = false;   // CreateWindowExA returns null
  bool fail_set_cooperative_level = false;
  // Depths SetDisplayMode accepts, at any size of at least 1 x 1 (other depths are refused).
  std::vector<DWORD> accepted_depths = {32, 24, 16};
  // Largest flipping chain CreateSurface grants: 2 grants both requests, 1 only the one-back-buffer
  // request, 0 neither. A lone primary surface (no DDSCAPS_FLIP) is granted whenever this is >= 0.
  int max_back_buffers = 2;
  bool fail_get_attached_surface = false;
  bool fail_get_pixel_format = false;
  // When set, GetPixelFormat reports this; otherwise the format that matches the mode's depth:
  // 32 xrgb8888, 24 rgb888, 16 rgb565.
  bool use_pixel_format = false;
  PixelFormat pixel_format{};
  // Bytes each surface row has beyond width x bytes per pixel.
  LONG extra_pitch = 0;
  // Lock fails with DDERR_GENERIC for this many calls.
  int lock_failures = 0;
  // The surfaces start lost: Lock answers DDERR_SURFACELOST until Restore is called.
  bool surfaces_lost = false;
  // Whether the screen saver is switched on before the show starts.
  BOOL screen_saver_active = TRUE;
  // SetCooperativeLevel with exclusive mode sends WM_ACTIVATEAPP 1 to the window at once, as
  // Windows does when the window takes the screen.
  bool activate_on_exclusive = true;
  ExitMode exit_mode = ExitMode::Throw;
  // SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE) fails.
  bool fail_get_screen_saver = false;
  // Restore fails for this many calls, leaving lost surfaces lost.
  int restore_failures = 0;
  // Every byte of a new chain's buffers starts as this, so that bytes never written can be told.
  std::uint8_t surface_fill = 0;
  // What DefWindowProcA returns.
  LRESULT default_window_proc_result = 0;
};

// Starts afresh: no calls recorded, nothing held, empty queue, hooks cleared.
void reset(const Script& script = {});
Script& script();

// Every call, in order, as "Name(arguments)", e.g. "SetDisplayMode(640,400,32)",
// "BASSMOD_MusicLoad(0,theme2.xm,0,0,20)", "Sleep(1)", "WndProc(WM_KEYDOWN,27)".
const std::vector<std::string>& calls();
std::string call_log();  // calls joined with '\n'
// Adds an entry to the log (the music calls use it; a test may mark a point in the log).
void record(std::string call);
// Misuse of the platform is logged as "VIOLATION: what"; these are the ones so far.
std::vector<std::string> violations();
// Index of the first call starting with `prefix` at or after `from`, or -1.
int find_call(const std::string& prefix, int from = 0);
int count_calls(const std::string& prefix);

// Queue a message for the display window; PeekMessageA hands them out in order.
void post_message(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
// Queue a message for another window: PeekMessageA with the display window filter must not take it.
void post_foreign_message(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
// Messages still queued, for any window.
int pending_messages();

// Loses the surfaces of the live chain, as a mode switch by another program does: Lock and Flip
// answer DDERR_SURFACELOST until Restore.
void lose_surfaces();

// Hooks, called after the event they name.
// After each successful Flip; flip_index counts the flips since reset from 0.
void on_flip(std::function<void(int flip_index)> hook);
void on_sleep(std::function<void(DWORD milliseconds)> hook);
void on_peek(std::function<void()> hook);  // before each PeekMessageA looks at the queue

// What the fake holds now.
struct Held {
  bool library = false;
  bool direct_draw = false;
  bool window = false;
  bool exclusive = false;
  bool mode_switched = false;
  int surfaces = 0;  // live surface objects of the chain (the primary holds its back buffers)
  bool locked = false;
};
Held held();
bool nothing_held();

DWORD display_depth();    // depth of the current mode, 0 when none
int back_buffer_count();  // of the created chain
BOOL screen_saver_active();
int flip_count();
LONG pitch();

// Bytes of the buffer now shown (front of the chain): height rows of pitch bytes. Empty before a
// chain.
const std::vector<std::uint8_t>& front_buffer();
// Bytes of the buffer at a place in the chain: 0 the front, 1 the first back buffer, and so on.
const std::vector<std::uint8_t>& chain_buffer(int position);
// The window procedure that the class registered for the display window.
WNDPROC window_procedure();
HWND window_handle();

// The last record handed to RegisterClassA, and the arguments of the last CreateWindowExA.
const WNDCLASSA& registered_class();
struct WindowArguments {
  DWORD ex_style = 0;
  std::string class_name;
  std::string window_name;
  DWORD style = 0;
  int x = 0, y = 0, width = 0, height = 0;
  HWND parent = nullptr;
  HMENU menu = nullptr;
  HINSTANCE instance = nullptr;
  LPVOID param = nullptr;
};
const WindowArguments& window_arguments();

// The arguments of the last DefWindowProcA call.
struct WindowMessage {
  HWND window = nullptr;
  UINT message = 0;
  WPARAM wparam = 0;
  LPARAM lparam = 0;
};
WindowMessage last_default_message();

}  // namespace fake
