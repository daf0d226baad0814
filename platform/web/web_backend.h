// The emulated platform in a web page: each flip puts the emulated screen on the page's canvas as
// RGBA and waits for the browser's next animation frame (the show's blocking loop is suspended
// there and the page runs on), the page's keys, visibility and focus come as the window's messages,
// sleeping hands the page back to the browser for as long, and ending the process hands the page
// its exit status and leaves the show suspended for good.
#pragma once

#include <array>
#include <cstdint>

#include "platform/emulated/emulated_platform.h"
#include "platform/web/canvas_placement.h"
#include "platform/web/page_input.h"

namespace web_platform {

class WebBackend final : public emulated::Backend {
 public:
  void display_mode(int width, int height, emulated::Layout layout) override;
  void display_mode_restored() override;
  void wait_for_retrace() override;
  void present(const emulated::Frame& frame) override;
  void poll_events() override;
  void sleep(DWORD milliseconds) override;
  [[noreturn]] void exit_process(UINT exit_code) override;
  void show_cursor(bool shown) override;
  bool screen_saver_active() const override { return screen_saver_active_; }
  void set_screen_saver_active(bool active) override;

  // The largest frame the backend shows (the show's own size); a larger one is not shown.
  static constexpr int max_width = 640;
  static constexpr int max_height = 400;

 private:
  void place(int width, int height);

  PageInput input_;
  bool screen_saver_active_ = true;
  // The page's size and pixel ratio the canvas was last placed for.
  std::array<double, 3> placed_for_{};
  // Static size: presenting allocates nothing.
  std::array<std::uint32_t, max_width> row_{};
  std::array<std::uint8_t, max_width * max_height * 4> rgba_{};
};

}  // namespace web_platform
