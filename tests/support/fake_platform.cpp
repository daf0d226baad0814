// The scripted fake of the platform. One process-wide state, rebuilt by reset(). Objects the
// display has released stay in memory until the next reset, so that a call on one is logged as a
// violation instead of touching freed memory.
#include "tests/support/fake_platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <utility>

#include "platform/ddraw_unsupported.h"

namespace fake {
namespace {

class FakeSurface;
class FakeDirectDraw;

// A primary surface and its back buffers. Flip rotates the buffers under the surface objects, so
// the object at position 1 always designates the buffer to draw next.
struct Chain {
  int back_buffers = 0;
  LONG width = 0;
  LONG height = 0;
  LONG pitch = 0;
  PixelFormat format;
  std::vector<std::vector<std::uint8_t>> buffers;
  int rotation = 0;
  bool lost = false;
  bool alive = true;
  int primary_references = 1;
  int locked_position = -1;
  void* locked_pointer = nullptr;
  std::vector<std::unique_ptr<FakeSurface>> surfaces;

  std::vector<std::uint8_t>& buffer_at(int position) {
    return buffers[static_cast<std::size_t>(position + rotation) % buffers.size()];
  }
};

struct QueuedMessage {
  bool foreign;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};

// Addresses that serve as handles.
char library_tag;
char window_tag;
char foreign_window_tag;
HMODULE library_handle() { return reinterpret_cast<HMODULE>(&library_tag); }
HWND display_handle() { return reinterpret_cast<HWND>(&window_tag); }
HWND foreign_handle() { return reinterpret_cast<HWND>(&foreign_window_tag); }

struct State {
  Script script;
  std::vector<std::string> calls;
  std::deque<QueuedMessage> queue;
  std::function<void(int)> flip_hook;
  std::function<void(DWORD)> sleep_hook;
  std::function<void()> peek_hook;

  int library_references = 0;
  std::vector<std::unique_ptr<FakeDirectDraw>> direct_draws;
  bool exclusive = false;
  DWORD mode_width = 0;
  DWORD mode_height = 0;
  DWORD mode_depth = 0;
  std::vector<std::unique_ptr<Chain>> chains;
  int flips = 0;

  std::vector<std::pair<std::string, WNDCLASSA>> classes;
  WNDCLASSA last_class = {};
  WindowArguments window_args;
  bool window_created = false;
  bool window_alive = false;
  WNDPROC window_proc = nullptr;
  WindowMessage default_message;

  BOOL screen_saver = TRUE;
};

// Held through a pointer so that reset() builds a whole new state in one step.
std::unique_ptr<State>& current_state() {
  static std::unique_ptr<State> instance = std::make_unique<State>();
  return instance;
}

State& state() { return *current_state(); }

void violation(const std::string& what) { record("VIOLATION: " + what); }

std::string message_name(UINT message) {
  switch (message) {
    case WM_CLOSE:
      return "WM_CLOSE";
    case WM_ACTIVATEAPP:
      return "WM_ACTIVATEAPP";
    case WM_SETCURSOR:
      return "WM_SETCURSOR";
    case WM_KEYDOWN:
      return "WM_KEYDOWN";
    case WM_KEYUP:
      return "WM_KEYUP";
    case WM_CHAR:
      return "WM_CHAR";
    default: {
      char text[16];
      std::snprintf(text, sizeof(text), "0x%X", message);
      return text;
    }
  }
}

LRESULT call_window(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  record("WndProc(" + message_name(message) + "," + std::to_string(wparam) + ")");
  return state().window_proc(window, message, wparam, lparam);
}

PixelFormat format_for_depth(DWORD depth) {
  PixelFormat format;
  format.bit_count = depth;
  if (depth == 16) {
    format.red_mask = 0xF800;
    format.green_mask = 0x07E0;
    format.blue_mask = 0x001F;
  }
  return format;  // 32 and 24 share the 8-8-8 masks
}

Chain* live_chain() {
  for (auto& chain : state().chains) {
    if (chain->alive) return chain.get();
  }
  return nullptr;
}

Chain* last_chain() { return state().chains.empty() ? nullptr : state().chains.back().get(); }

class FakeSurface final : public UnsupportedDirectDrawSurface {
 public:
  FakeSurface(Chain* chain, int position) : chain_(chain), position_(position) {}

  DWORD AddRef() override {
    record("AddRef(surface)");
    if (position_ == 0) ++chain_->primary_references;
    return 1;
  }

  DWORD Release() override {
    record("Release(surface)");
    if (!chain_->alive) {
      violation("Release of a released surface");
      return 0;
    }
    if (position_ != 0) {
      violation("Release of a back buffer, which belongs to its chain");
      return 1;
    }
    if (--chain_->primary_references > 0) return static_cast<DWORD>(chain_->primary_references);
    if (chain_->locked_position >= 0) violation("surface released while locked");
    chain_->alive = false;
    chain_->locked_position = -1;
    return 0;
  }

  HRESULT Flip(LPDIRECTDRAWSURFACE target, DWORD flags) override {
    record("Flip");
    if (!usable("Flip")) return DDERR_GENERIC;
    if (position_ != 0) violation("Flip on a back buffer");
    if (target != nullptr) violation("Flip with a target surface");
    if (flags != DDFLIP_WAIT) violation("Flip without DDFLIP_WAIT");
    if (chain_->locked_position >= 0) {
      violation("Flip while locked");
      return DDERR_GENERIC;
    }
    if (chain_->lost) return DDERR_SURFACELOST;
    if (chain_->back_buffers == 0) return DDERR_GENERIC;
    chain_->rotation = (chain_->rotation + 1) % static_cast<int>(chain_->buffers.size());
    const int index = state().flips++;
    if (state().flip_hook) state().flip_hook(index);
    return DD_OK;
  }

  HRESULT GetAttachedSurface(LPDDSCAPS caps, LPDIRECTDRAWSURFACE* surface) override {
    record("GetAttachedSurface");
    if (surface == nullptr) {
      violation("GetAttachedSurface without a result");
      return DDERR_INVALIDPARAMS;
    }
    *surface = nullptr;
    if (!usable("GetAttachedSurface")) return DDERR_GENERIC;
    if (caps == nullptr || caps->dwCaps != DDSCAPS_BACKBUFFER) {
      violation("GetAttachedSurface for other than DDSCAPS_BACKBUFFER");
      return DDERR_INVALIDPARAMS;
    }
    if (state().script.fail_get_attached_surface || position_ != 0 || chain_->back_buffers == 0) {
      return DDERR_NOTFOUND;
    }
    *surface = chain_->surfaces[1].get();
    return DD_OK;
  }

  HRESULT GetPixelFormat(LPDDPIXELFORMAT format) override {
    record("GetPixelFormat");
    if (!usable("GetPixelFormat")) return DDERR_GENERIC;
    if (format == nullptr || format->dwSize != sizeof(DDPIXELFORMAT)) {
      violation("GetPixelFormat with a wrong dwSize");
      return DDERR_INVALIDPARAMS;
    }
    if (state().script.fail_get_pixel_format) return DDERR_GENERIC;
    fill_format(format);
    return DD_OK;
  }

  HRESULT Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD flags, HANDLE event) override {
    record("Lock");
    if (!usable("Lock")) return DDERR_GENERIC;
    if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC)) {
      violation("Lock with a wrong dwSize");
      return DDERR_INVALIDPARAMS;
    }
    if (position_ == 0) violation("Lock on the front surface");
    if (rect != nullptr) violation("Lock of part of the surface");
    if (flags != DDLOCK_WAIT) violation("Lock without DDLOCK_WAIT");
    if (event != nullptr) violation("Lock with an event");
    if (chain_->locked_position >= 0) {
      violation("Lock while locked");
      return DDERR_GENERIC;
    }
    Script& script = state().script;
    if (script.lock_failures > 0) {
      --script.lock_failures;
      return DDERR_GENERIC;
    }
    if (chain_->lost) return DDERR_SURFACELOST;

    std::vector<std::uint8_t>& buffer = chain_->buffer_at(position_);
    DDSURFACEDESC filled = {};
    filled.dwSize = desc->dwSize;
    filled.dwFlags =
        DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_LPSURFACE | DDSD_PIXELFORMAT;
    filled.dwWidth = static_cast<DWORD>(chain_->width);
    filled.dwHeight = static_cast<DWORD>(chain_->height);
    filled.lPitch = chain_->pitch;
    filled.lpSurface = buffer.data();
    filled.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    fill_format(&filled.ddpfPixelFormat);
    filled.ddsCaps.dwCaps =
        DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY | DDSCAPS_BACKBUFFER;
    *desc = filled;
    chain_->locked_position = position_;
    chain_->locked_pointer = buffer.data();
    return DD_OK;
  }

  HRESULT Restore() override {
    record("Restore");
    if (!usable("Restore")) return DDERR_GENERIC;
    if (position_ != 0) violation("Restore on a back buffer");
    Script& script = state().script;
    if (script.restore_failures > 0) {
      --script.restore_failures;
      return DDERR_GENERIC;
    }
    chain_->lost = false;
    return DD_OK;
  }

  HRESULT Unlock(LPVOID surface_data) override {
    record("Unlock");
    if (!usable("Unlock")) return DDERR_GENERIC;
    if (chain_->locked_position != position_) {
      violation("Unlock of a surface that is not locked");
      return DDERR_NOTLOCKED;
    }
    if (surface_data != chain_->locked_pointer) {
      violation("Unlock with a pointer other than the locked one");
      return DDERR_NOTLOCKED;
    }
    chain_->locked_position = -1;
    chain_->locked_pointer = nullptr;
    return DD_OK;
  }

 private:
  bool usable(const char* method) {
    if (chain_->alive) return true;
    violation(std::string(method) + " on a released surface");
    return false;
  }

  void fill_format(DDPIXELFORMAT* format) const {
    format->dwFlags = chain_->format.flags;
    format->dwFourCC = 0;
    format->dwRGBBitCount = chain_->format.bit_count;
    format->dwRBitMask = chain_->format.red_mask;
    format->dwGBitMask = chain_->format.green_mask;
    format->dwBBitMask = chain_->format.blue_mask;
    format->dwRGBAlphaBitMask = 0;
  }

  Chain* chain_;
  int position_;
};

class FakeDirectDraw final : public UnsupportedDirectDraw {
 public:
  bool alive() const { return alive_; }

  DWORD AddRef() override {
    record("AddRef(ddraw)");
    return static_cast<DWORD>(++references_);
  }

  DWORD Release() override {
    record("Release(ddraw)");
    if (!alive_) {
      violation("Release of a released DirectDraw object");
      return 0;
    }
    if (--references_ > 0) return static_cast<DWORD>(references_);
    alive_ = false;
    // Kept as they are, so that whatever was left behind still shows in held().
    if (live_chain() != nullptr) violation("DirectDraw object released before its surfaces");
    if (state().exclusive) violation("DirectDraw object released in exclusive mode");
    if (state().mode_depth != 0) violation("DirectDraw object released with the mode switched");
    return 0;
  }

  HRESULT CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface,
                        IUnknown* outer) override {
    State& s = state();
    if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC)) {
      record("CreateSurface(?)");
      violation("CreateSurface with a wrong dwSize");
      return DDERR_INVALIDPARAMS;
    }
    constexpr DWORD chain_caps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
    constexpr DWORD lone_caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY;
    int back_buffers = -1;
    if (desc->dwFlags == (DDSD_CAPS | DDSD_BACKBUFFERCOUNT) && desc->ddsCaps.dwCaps == chain_caps &&
        desc->dwBackBufferCount >= 1) {
      back_buffers = static_cast<int>(desc->dwBackBufferCount);
    } else if (desc->dwFlags == DDSD_CAPS && desc->ddsCaps.dwCaps == lone_caps) {
      back_buffers = 0;
    }
    record("CreateSurface(" + (back_buffers < 0 ? std::string("?") : std::to_string(back_buffers)) +
           ")");
    if (surface == nullptr) {
      violation("CreateSurface without a result");
      return DDERR_INVALIDPARAMS;
    }
    *surface = nullptr;
    if (!usable("CreateSurface")) return DDERR_GENERIC;
    if (back_buffers < 0) {
      violation("CreateSurface with a request other than a primary surface");
      return DDERR_INVALIDPARAMS;
    }
    if (outer != nullptr) violation("CreateSurface with an outer object");
    if (s.mode_depth == 0) {
      violation("CreateSurface before SetDisplayMode");
      return DDERR_GENERIC;
    }
    if (live_chain() != nullptr) {
      violation("CreateSurface of a second primary surface");
      return DDERR_GENERIC;
    }
    if (back_buffers > s.script.max_back_buffers) return DDERR_OUTOFVIDEOMEMORY;

    auto chain = std::make_unique<Chain>();
    chain->back_buffers = back_buffers;
    chain->width = static_cast<LONG>(s.mode_width);
    chain->height = static_cast<LONG>(s.mode_height);
    chain->format =
        s.script.use_pixel_format ? s.script.pixel_format : format_for_depth(s.mode_depth);
    const DWORD bits = chain->format.bit_count != 0 ? chain->format.bit_count : s.mode_depth;
    chain->pitch = chain->width * static_cast<LONG>((bits + 7) / 8) + s.script.extra_pitch;
    const auto bytes =
        static_cast<std::size_t>(chain->pitch) * static_cast<std::size_t>(chain->height);
    chain->buffers.assign(static_cast<std::size_t>(back_buffers) + 1,
                          std::vector<std::uint8_t>(bytes, s.script.surface_fill));
    chain->lost = s.script.surfaces_lost;
    for (int position = 0; position <= back_buffers; ++position) {
      chain->surfaces.push_back(std::make_unique<FakeSurface>(chain.get(), position));
    }
    *surface = chain->surfaces[0].get();
    s.chains.push_back(std::move(chain));
    return DD_OK;
  }

  HRESULT RestoreDisplayMode() override {
    record("RestoreDisplayMode");
    if (!usable("RestoreDisplayMode")) return DDERR_GENERIC;
    state().mode_width = state().mode_height = state().mode_depth = 0;
    return DD_OK;
  }

  HRESULT SetCooperativeLevel(HWND window, DWORD flags) override {
    State& s = state();
    record("SetCooperativeLevel(" + std::to_string(flags) + ")");
    if (!usable("SetCooperativeLevel")) return DDERR_GENERIC;
    if (flags == (DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN)) {
      if (s.script.fail_set_cooperative_level) return DDERR_GENERIC;
      if (window == nullptr || window != display_handle() || !s.window_alive) {
        return DDERR_INVALIDPARAMS;
      }
      s.exclusive = true;
      if (s.script.activate_on_exclusive) call_window(window, WM_ACTIVATEAPP, TRUE, 0);
      return DD_OK;
    }
    if (flags == DDSCL_NORMAL) {
      if (s.exclusive && window != display_handle()) {
        violation("exclusive mode given back for another window");
      }
      s.exclusive = false;
      return DD_OK;
    }
    violation("SetCooperativeLevel with unexpected flags");
    return DDERR_INVALIDPARAMS;
  }

  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bits_per_pixel) override {
    State& s = state();
    record("SetDisplayMode(" + std::to_string(width) + "," + std::to_string(height) + "," +
           std::to_string(bits_per_pixel) + ")");
    if (!usable("SetDisplayMode")) return DDERR_GENERIC;
    if (!s.exclusive) {
      violation("SetDisplayMode without exclusive mode");
      return DDERR_NOEXCLUSIVEMODE;
    }
    bool accepted = false;
    for (DWORD depth : s.script.accepted_depths) accepted = accepted || depth == bits_per_pixel;
    // A width or height that does not fit a LONG is as impossible as 0.
    const bool size_ok = width >= 1 && height >= 1 && width <= 0x7FFFFFFF && height <= 0x7FFFFFFF;
    if (!accepted || !size_ok) return DDERR_INVALIDMODE;
    s.mode_width = width;
    s.mode_height = height;
    s.mode_depth = bits_per_pixel;
    return DD_OK;
  }

 private:
  bool usable(const char* method) {
    if (alive_) return true;
    violation(std::string(method) + " on a released DirectDraw object");
    return false;
  }

  bool alive_ = true;
  int references_ = 1;
};

bool direct_draw_alive() {
  for (const auto& direct_draw : state().direct_draws) {
    if (direct_draw->alive()) return true;
  }
  return false;
}

const std::vector<std::uint8_t>& no_bytes() {
  static const std::vector<std::uint8_t> empty;
  return empty;
}

}  // namespace

void reset(const Script& script) {
  auto fresh = std::make_unique<State>();
  fresh->script = script;
  fresh->screen_saver = script.screen_saver_active;
  current_state() = std::move(fresh);
}

Script& script() { return state().script; }

void record(std::string call) { state().calls.push_back(std::move(call)); }

const std::vector<std::string>& calls() { return state().calls; }

std::string call_log() {
  std::string log;
  for (const std::string& call : state().calls) {
    if (!log.empty()) log += '\n';
    log += call;
  }
  return log;
}

std::vector<std::string> violations() {
  std::vector<std::string> found;
  for (const std::string& call : state().calls) {
    if (call.rfind("VIOLATION", 0) == 0) found.push_back(call);
  }
  return found;
}

int find_call(const std::string& prefix, int from) {
  const auto& all = state().calls;
  for (int index = from < 0 ? 0 : from; index < static_cast<int>(all.size()); ++index) {
    if (all[static_cast<std::size_t>(index)].rfind(prefix, 0) == 0) return index;
  }
  return -1;
}

int count_calls(const std::string& prefix) {
  int count = 0;
  for (const std::string& call : state().calls) count += call.rfind(prefix, 0) == 0 ? 1 : 0;
  return count;
}

void post_message(UINT message, WPARAM wparam, LPARAM lparam) {
  state().queue.push_back({false, message, wparam, lparam});
}

void post_foreign_message(UINT message, WPARAM wparam, LPARAM lparam) {
  state().queue.push_back({true, message, wparam, lparam});
}

int pending_messages() { return static_cast<int>(state().queue.size()); }

void lose_surfaces() {
  if (Chain* chain = live_chain()) chain->lost = true;
}

void on_flip(std::function<void(int flip_index)> hook) { state().flip_hook = std::move(hook); }
void on_sleep(std::function<void(DWORD milliseconds)> hook) {
  state().sleep_hook = std::move(hook);
}
void on_peek(std::function<void()> hook) { state().peek_hook = std::move(hook); }

Held held() {
  const State& s = state();
  Held now;
  now.library = s.library_references > 0;
  now.direct_draw = direct_draw_alive();
  now.window = s.window_alive;
  now.exclusive = s.exclusive;
  now.mode_switched = s.mode_depth != 0;
  for (const auto& chain : s.chains) {
    if (!chain->alive) continue;
    now.surfaces += chain->back_buffers + 1;
    now.locked = now.locked || chain->locked_position >= 0;
  }
  return now;
}

bool nothing_held() {
  const Held now = held();
  return !now.library && !now.direct_draw && !now.window && !now.exclusive && !now.mode_switched &&
         now.surfaces == 0 && !now.locked;
}

DWORD display_depth() { return state().mode_depth; }

int back_buffer_count() {
  const Chain* chain = last_chain();
  return chain != nullptr ? chain->back_buffers : 0;
}

BOOL screen_saver_active() { return state().screen_saver; }

int flip_count() { return state().flips; }

LONG pitch() {
  const Chain* chain = last_chain();
  return chain != nullptr ? chain->pitch : 0;
}

const std::vector<std::uint8_t>& front_buffer() { return chain_buffer(0); }

const std::vector<std::uint8_t>& chain_buffer(int position) {
  Chain* chain = last_chain();
  if (chain == nullptr || position < 0 || position > chain->back_buffers) return no_bytes();
  return chain->buffer_at(position);
}

WNDPROC window_procedure() { return state().window_created ? state().window_proc : nullptr; }

HWND window_handle() { return state().window_created ? display_handle() : nullptr; }

const WNDCLASSA& registered_class() { return state().last_class; }

const WindowArguments& window_arguments() { return state().window_args; }

WindowMessage last_default_message() { return state().default_message; }

}  // namespace fake

using fake::record;
using fake::state;
using fake::violation;

// KERNEL32

HMODULE WINAPI LoadLibraryA(LPCSTR name) {
  record("LoadLibraryA(" + std::string(name != nullptr ? name : "null") + ")");
  if (state().script.fail_load_library || name == nullptr || std::strcmp(name, "ddraw.dll") != 0) {
    return nullptr;
  }
  ++state().library_references;
  return fake::library_handle();
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name) {
  record("GetProcAddress(" + std::string(name != nullptr ? name : "null") + ")");
  if (module != fake::library_handle() || state().library_references == 0) {
    violation("GetProcAddress on a module that is not loaded");
    return nullptr;
  }
  if (state().script.fail_get_proc_address || name == nullptr ||
      std::strcmp(name, "DirectDrawCreate") != 0) {
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&DirectDrawCreate));
}

BOOL WINAPI FreeLibrary(HMODULE module) {
  record("FreeLibrary");
  if (module != fake::library_handle() || state().library_references == 0) {
    violation("FreeLibrary of a module that is not loaded");
    return FALSE;
  }
  if (fake::direct_draw_alive()) violation("ddraw.dll freed while its DirectDraw object lives");
  --state().library_references;
  return TRUE;
}

void WINAPI Sleep(DWORD milliseconds) {
  record("Sleep(" + std::to_string(milliseconds) + ")");
  if (state().sleep_hook) state().sleep_hook(milliseconds);
}

void WINAPI ExitProcess(UINT exit_code) {
  record("ExitProcess(" + std::to_string(exit_code) + ")");
  if (state().script.exit_mode == fake::ExitMode::Throw) throw fake::ProcessExit{exit_code};
  const std::string log = fake::call_log() + "\n";
  std::fputs(log.c_str(), stderr);
  std::fflush(stderr);
  std::_Exit(static_cast<int>(exit_code));
}

// USER32

ATOM WINAPI RegisterClassA(const WNDCLASSA* window_class) {
  if (window_class == nullptr || window_class->lpszClassName == nullptr) {
    record("RegisterClassA(null)");
    violation("RegisterClassA without a class name");
    return 0;
  }
  record("RegisterClassA(" + std::string(window_class->lpszClassName) + ")");
  if (window_class->lpfnWndProc == nullptr) violation("RegisterClassA without a window procedure");
  fake::State& s = state();
  s.last_class = *window_class;
  for (const auto& registered : s.classes) {
    if (registered.first == window_class->lpszClassName) return 0;  // already there
  }
  // A failing registration is taken as one made earlier: the class is there all the same.
  s.classes.emplace_back(window_class->lpszClassName, *window_class);
  if (s.script.fail_register_class) return 0;
  return static_cast<ATOM>(s.classes.size());
}

HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style,
                            int x, int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
  const std::string name = class_name != nullptr ? class_name : "null";
  record("CreateWindowExA(" + name + ")");
  fake::State& s = state();
  s.window_args = {ex_style, name,     window_name != nullptr ? window_name : "null",
                   style,    x,        y,
                   width,    height,   parent,
                   menu,     instance, param};
  if (s.script.fail_create_window) return nullptr;
  WNDPROC procedure = nullptr;
  for (const auto& registered : s.classes) {
    if (registered.first == name) procedure = registered.second.lpfnWndProc;
  }
  if (procedure == nullptr) return nullptr;  // no such class
  if (s.window_alive) violation("CreateWindowExA of a second window");
  s.window_created = true;
  s.window_alive = true;
  s.window_proc = procedure;
  return fake::display_handle();
}

BOOL WINAPI DestroyWindow(HWND window) {
  record("DestroyWindow");
  fake::State& s = state();
  if (window != fake::display_handle() || !s.window_alive) {
    violation("DestroyWindow of a window that does not exist");
    return FALSE;
  }
  if (s.exclusive) violation("window destroyed while it holds exclusive mode");
  s.window_alive = false;
  return TRUE;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filter_min, UINT filter_max, UINT remove) {
  record("PeekMessageA");
  fake::State& s = state();
  if (s.peek_hook) s.peek_hook();
  if (msg == nullptr) {
    violation("PeekMessageA without a record");
    return FALSE;
  }
  if (remove != PM_REMOVE && remove != PM_NOREMOVE) violation("PeekMessageA with unknown flags");
  for (auto queued = s.queue.begin(); queued != s.queue.end(); ++queued) {
    HWND target = queued->foreign ? fake::foreign_handle()
                                  : (s.window_alive ? fake::display_handle() : nullptr);
    if (target == nullptr) continue;
    if (window != nullptr && window != target) continue;
    const bool in_range = (filter_min == 0 && filter_max == 0) ||
                          (queued->message >= filter_min && queued->message <= filter_max);
    if (!in_range) continue;
    *msg = MSG{};
    msg->hwnd = target;
    msg->message = queued->message;
    msg->wParam = queued->wparam;
    msg->lParam = queued->lparam;
    if ((remove & PM_REMOVE) != 0) s.queue.erase(queued);
    return TRUE;
  }
  return FALSE;
}

BOOL WINAPI TranslateMessage(const MSG*) {
  record("TranslateMessage");
  return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  record("DispatchMessageA");
  if (msg == nullptr) {
    violation("DispatchMessageA without a record");
    return 0;
  }
  const fake::State& s = state();
  if (msg->hwnd != fake::display_handle() || !s.window_alive || s.window_proc == nullptr) return 0;
  return fake::call_window(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  record("DefWindowProcA(" + fake::message_name(message) + "," + std::to_string(wparam) + ")");
  state().default_message = {window, message, wparam, lparam};
  return state().script.default_window_proc_result;
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
  record(cursor == nullptr ? "SetCursor(null)" : "SetCursor(cursor)");
  return nullptr;
}

BOOL WINAPI SystemParametersInfoA(UINT action, UINT uiparam, PVOID pvparam, UINT winini) {
  fake::State& s = state();
  if (winini != 0) violation("SystemParametersInfoA writing the user profile or broadcasting");
  if (action == SPI_GETSCREENSAVEACTIVE) {
    record("SystemParametersInfoA(" + std::to_string(action) + ")");
    if (pvparam == nullptr) {
      violation("SPI_GETSCREENSAVEACTIVE without a result");
      return FALSE;
    }
    if (s.script.fail_get_screen_saver) return FALSE;
    *static_cast<BOOL*>(pvparam) = s.screen_saver;
    return TRUE;
  }
  if (action == SPI_SETSCREENSAVEACTIVE) {
    record("SystemParametersInfoA(" + std::to_string(action) + "," + std::to_string(uiparam) + ")");
    if (pvparam != nullptr) violation("SPI_SETSCREENSAVEACTIVE with a pointer");
    s.screen_saver = uiparam != 0 ? TRUE : FALSE;
    return TRUE;
  }
  record("SystemParametersInfoA(" + std::to_string(action) + ")");
  return FALSE;
}

// DirectDraw

HRESULT WINAPI DirectDrawCreate(GUID* driver, LPDIRECTDRAW* direct_draw, IUnknown* outer) {
  record("DirectDrawCreate");
  fake::State& s = state();
  if (direct_draw == nullptr) {
    violation("DirectDrawCreate without a result");
    return DDERR_INVALIDPARAMS;
  }
  *direct_draw = nullptr;
  if (driver != nullptr) violation("DirectDrawCreate for other than the default driver");
  if (outer != nullptr) violation("DirectDrawCreate with an outer object");
  if (s.library_references == 0) violation("DirectDrawCreate with ddraw.dll not loaded");
  if (fake::direct_draw_alive()) violation("DirectDrawCreate of a second DirectDraw object");
  if (s.script.fail_direct_draw_create) return DDERR_GENERIC;
  s.direct_draws.push_back(std::make_unique<fake::FakeDirectDraw>());
  *direct_draw = s.direct_draws.back().get();
  return DD_OK;
}
