// The emulated platform shown through SDL2: the emulated screen in a window (full screen on the
// desktop while the show holds exclusive mode), SDL events as the window's messages, a fixed-rate
// emulated retrace, and SDL's screen-saver switch.
#pragma once

#include <SDL.h>

#include <string>

#include "platform/emulated/emulated_platform.h"
#include "platform/sdl/retrace_pacer.h"
#include "platform/sdl/settings.h"

namespace sdl_platform {

class SdlBackend final : public emulated::Backend {
 public:
  // SDL video must be initialised. The window is created hidden; ok() tells whether the window and
  // its renderer exist, error() why not.
  explicit SdlBackend(const Settings& settings);
  ~SdlBackend() override;
  SdlBackend(const SdlBackend&) = delete;
  SdlBackend& operator=(const SdlBackend&) = delete;

  bool ok() const { return renderer_ != nullptr; }
  const std::string& error() const { return error_; }
  SDL_Window* window() const { return window_; }
  SDL_Renderer* renderer() const { return renderer_; }

  void exclusive_mode(bool exclusive) override;
  void display_mode(int width, int height, emulated::Layout layout) override;
  void display_mode_restored() override;
  void wait_for_retrace() override;
  void present(const emulated::Frame& frame) override;
  void poll_events() override;
  void sleep(DWORD milliseconds) override;
  [[noreturn]] void exit_process(UINT exit_code) override;
  void show_cursor(bool shown) override;
  bool screen_saver_active() const override;
  void set_screen_saver_active(bool active) override;

 private:
  void handle_event(const SDL_Event& event);
  void handle_key(const SDL_KeyboardEvent& key, UINT message);
  void report_activation();
  void trace(const char* what) const;
  void apply_full_screen();
  bool make_texture(int width, int height);
  void release();

  Settings settings_;
  RetracePacer pacer_;
  std::string error_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int texture_width_ = 0;
  int texture_height_ = 0;
  int max_area_width_ = 16384;  // until the renderer tells
  int max_area_height_ = 16384;
  bool exclusive_ = false;
  bool full_screen_wanted_ = false;  // while exclusive; the toggle key flips it
  bool active_ = false;              // as the last WM_ACTIVATEAPP told the show
  bool hang_up_handled_ = false;
  Uint64 started_ms_ = SDL_GetTicks64();
};

}  // namespace sdl_platform
