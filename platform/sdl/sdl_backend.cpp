#include "platform/sdl/sdl_backend.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/emulated/screen_layouts.h"
#include "platform/sdl/outside_events.h"
#include "platform/sdl/picture_placement.h"
#include "platform/sdl/virtual_keys.h"
#include "platform/sdl/window_bounds.h"

namespace sdl_platform {

namespace {

// The name the show gives its window and class.
constexpr const char* window_title = "test";

// Hit-test code and mouse message a WM_SETCURSOR carries in its lParam.
constexpr LPARAM ht_client = 1;
constexpr LPARAM wm_mousemove = 0x0200;

// WM_KEYDOWN and WM_KEYUP flags in lParam: a repeat count of 1, the key was down before, the key is
// being released.
constexpr LPARAM key_repeat_count_one = 1;
constexpr LPARAM key_was_down = LPARAM{1} << 30;
constexpr LPARAM key_released = LPARAM{1} << 31;

bool is_full_screen_toggle(const SDL_Keysym& key) {
  if (key.sym == SDLK_F11) return true;
  return (key.sym == SDLK_RETURN || key.sym == SDLK_KP_ENTER) && (key.mod & KMOD_ALT) != 0;
}

// The window events that tell whether the window is seen and has the keyboard.
const char* traced_window_event(Uint8 event) {
  switch (event) {
    case SDL_WINDOWEVENT_SHOWN:
      return "event: shown";
    case SDL_WINDOWEVENT_HIDDEN:
      return "event: hidden";
    case SDL_WINDOWEVENT_EXPOSED:
      return "event: exposed";
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      return "event: focus gained";
    case SDL_WINDOWEVENT_FOCUS_LOST:
      return "event: focus lost";
    case SDL_WINDOWEVENT_TAKE_FOCUS:
      return "event: take focus";
    default:
      return nullptr;
  }
}

}  // namespace

SdlBackend::SdlBackend(const Settings& settings)
    : settings_(settings),
      pacer_(settings.retrace_hz > 0 ? settings.retrace_hz : 1),
      full_screen_wanted_(!settings.windowed) {
  // Whole-number scaling: each screen pixel becomes a sharp square.
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  // Hidden until the show sets a display mode; sized then.
  window_ = SDL_CreateWindow(window_title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 400,
                             SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
  if (window_ == nullptr) {
    error_ = std::string("cannot create a window: ") + SDL_GetError();
    return;
  }
  // No vsync: the emulated retrace paces the flips, at its own rate.
  renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (renderer_ == nullptr) {
    error_ = std::string("cannot draw into the window: ") + SDL_GetError();
    return;
  }
  // The largest drawing area the renderer supports; a window beyond it is brought back within it.
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer_, &info) == 0 && info.max_texture_width > 0 &&
      info.max_texture_height > 0) {
    max_area_width_ = info.max_texture_width;
    max_area_height_ = info.max_texture_height;
  }
  SDL_SetWindowMaximumSize(window_, max_area_width_, max_area_height_);
  SDL_ShowCursor(SDL_DISABLE);
}

SdlBackend::~SdlBackend() { release(); }

void SdlBackend::release() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  texture_ = nullptr;
  texture_width_ = 0;
  texture_height_ = 0;
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  renderer_ = nullptr;
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  window_ = nullptr;
}

bool SdlBackend::make_texture(int width, int height) {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  texture_width_ = 0;
  texture_height_ = 0;
  // decode_row writes 0x00RRGGBB words, which is this format.
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                               width, height);
  if (texture_ == nullptr) return false;
  texture_width_ = width;
  texture_height_ = height;
  return true;
}

void SdlBackend::apply_full_screen() {
  // A hidden window takes full screen when it is shown, so that leaving full screen gives back
  // the window at its own size.
  if (window_ == nullptr || (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) == 0) return;
  const Uint32 wanted = exclusive_ && full_screen_wanted_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
  if ((SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != wanted) {
    SDL_SetWindowFullscreen(window_, wanted);
  }
}

void SdlBackend::exclusive_mode(bool exclusive) {
  exclusive_ = exclusive;
  apply_full_screen();
}

void SdlBackend::display_mode(int width, int height, emulated::Layout layout) {
  static_cast<void>(layout);  // every frame names its own layout
  if (renderer_ == nullptr) return;
  make_texture(width, height);
  if ((SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) == 0) {
    SDL_SetWindowSize(window_, width * settings_.window_scale, height * settings_.window_scale);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    SDL_ShowWindow(window_);
    apply_full_screen();
    SDL_RaiseWindow(window_);
    trace("window shown");
  }
  // Black until the first flip.
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderPresent(renderer_);
}

void SdlBackend::display_mode_restored() {
  if (window_ != nullptr) SDL_HideWindow(window_);
  trace("window hidden");
}

void SdlBackend::wait_for_retrace() {
  if (settings_.retrace_hz == 0) return;
  std::this_thread::sleep_until(pacer_.next_retrace(RetracePacer::Clock::now()));
}

void SdlBackend::present(const emulated::Frame& frame) {
  if (renderer_ == nullptr || frame.width <= 0 || frame.height <= 0) return;
  if ((frame.width != texture_width_ || frame.height != texture_height_) &&
      !make_texture(frame.width, frame.height)) {
    return;
  }

  void* texels = nullptr;
  int texture_pitch = 0;
  if (SDL_LockTexture(texture_, nullptr, &texels, &texture_pitch) != 0) return;
  for (int row = 0; row < frame.height; ++row) {
    emulated::decode_row(
        frame.layout, frame.pixels + static_cast<std::ptrdiff_t>(row) * frame.pitch, frame.width,
        reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(texels) +
                                         static_cast<std::ptrdiff_t>(row) * texture_pitch));
  }
  SDL_UnlockTexture(texture_);

  int area_width = 0;
  int area_height = 0;
  if (SDL_GetRendererOutputSize(renderer_, &area_width, &area_height) != 0) return;
  // Drivers fail, even crash, drawing into a window larger than they support: such a window is
  // sized back within it, and the frame skipped.
  if (!keep_within(window_, max_area_width_, max_area_height_)) return;
  const Placement placement = place_picture(frame.width, frame.height, area_width, area_height);
  const SDL_Rect target{placement.x, placement.y, placement.width, placement.height};
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, &target);
  SDL_RenderPresent(renderer_);
}

void SdlBackend::poll_events() {
  if (const char* reason = display_lost()) {
    // Nothing is given back: every call on the dead window would fail again, and SDL and the GL
    // driver may meanwhile have put Xlib's own handler back, which would end the process as if
    // the display could not be opened.
    std::fprintf(stderr, "show: the display was lost: %s\n", reason);
    std::fflush(nullptr);
    std::_Exit(lost_display_status);
  }
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) handle_event(event);
  // A closed terminal ends the show as a close request does, like an interrupt.
  if (hang_up_requested() && !hang_up_handled_) {
    hang_up_handled_ = true;
    emulated::post_message(WM_CLOSE);
  }
  report_activation();
}

void SdlBackend::handle_event(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:  // the last window closed, or an interrupt or termination signal
      emulated::post_message(WM_CLOSE);
      break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) emulated::post_message(WM_CLOSE);
      if (const char* name = traced_window_event(event.window.event)) trace(name);
      break;
    case SDL_KEYDOWN:
      handle_key(event.key, WM_KEYDOWN);
      break;
    case SDL_KEYUP:
      handle_key(event.key, WM_KEYUP);
      break;
    case SDL_MOUSEMOTION:
      // Windows asks the window for its cursor whenever the mouse moves over it.
      if (HWND window = emulated::display_window_handle(); window != nullptr) {
        emulated::send_message(WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                               ht_client | (wm_mousemove << 16));
      }
      break;
    default:
      break;
  }
}

void SdlBackend::handle_key(const SDL_KeyboardEvent& key, UINT message) {
  if (is_full_screen_toggle(key.keysym)) {
    if (message == WM_KEYDOWN && key.repeat == 0) {
      full_screen_wanted_ = !full_screen_wanted_;
      apply_full_screen();
    }
    return;
  }
  const WPARAM code = virtual_key_code(key.keysym.sym);
  if (code == 0) return;
  LPARAM flags = key_repeat_count_one;
  if (message == WM_KEYUP) flags |= key_was_down | key_released;
  if (message == WM_KEYDOWN && key.repeat != 0) flags |= key_was_down;
  emulated::post_message(message, code, flags);
}

void SdlBackend::report_activation() {
  // Messages need the show's window; focus that came before it is reported once it exists.
  if (window_ == nullptr || emulated::display_window_handle() == nullptr) return;
  const bool focused = (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
  if (focused == active_) return;
  active_ = focused;
  emulated::post_message(WM_ACTIVATEAPP, focused ? 1 : 0);
  trace(focused ? "show activated" : "show deactivated");
}

void SdlBackend::trace(const char* what) const {
  if (!settings_.trace_window) return;
  std::fprintf(stderr, "show: %s at %llu ms\n", what,
               static_cast<unsigned long long>(SDL_GetTicks64() - started_ms_));
}

void SdlBackend::sleep(DWORD milliseconds) {
  if (milliseconds == 0) {
    std::this_thread::yield();
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SdlBackend::exit_process(UINT exit_code) {
  release();
  SDL_Quit();
  std::exit(static_cast<int>(exit_code));
}

void SdlBackend::show_cursor(bool shown) { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }

bool SdlBackend::screen_saver_active() const { return SDL_IsScreenSaverEnabled() == SDL_TRUE; }

void SdlBackend::set_screen_saver_active(bool active) {
  if (active) {
    SDL_EnableScreenSaver();
  } else {
    SDL_DisableScreenSaver();
  }
}

}  // namespace sdl_platform
