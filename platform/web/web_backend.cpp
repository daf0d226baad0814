#include "platform/web/web_backend.h"

#include <emscripten.h>

#include <cstdlib>
#include <span>

#include "platform/web/rgba_frame.h"

namespace web_platform {

namespace {

// The page's side of each call is in page.js (the object `page` handed to the module). The
// bodies are JavaScript, which clang-format would take apart.
// clang-format off

EM_JS(void, page_display_mode, (int width, int height),
      { Module.page.displayMode(width, height); });
EM_JS(void, page_display_restored, (), { Module.page.displayRestored(); });
EM_JS(void, page_viewport, (double* size), {
  const viewport = Module.page.viewport();
  HEAPF64[size >> 3] = viewport.width;
  HEAPF64[(size >> 3) + 1] = viewport.height;
  HEAPF64[(size >> 3) + 2] = viewport.pixelRatio;
});
EM_JS(void, page_place_canvas, (double x, double y, double width, double height),
      { Module.page.placeCanvas(x, y, width, height); });
EM_JS(void, page_show_frame, (const std::uint8_t* rgba, int width, int height, double start_ms),
      { Module.page.showFrame(HEAPU8, rgba, width, height, start_ms); });
EM_ASYNC_JS(void, page_next_animation_frame, (), { await Module.page.nextAnimationFrame(); });
EM_ASYNC_JS(void, page_sleep, (int milliseconds), { await Module.page.sleep(milliseconds); });
// The next queued event's number (page_input.h), its key name written into `code`; 0 for none.
EM_JS(int, page_next_event, (char* code, int size), {
  const event = Module.page.nextEvent();
  if (!event) return 0;
  stringToUTF8(event.code || "", code, size);
  return event.kind;
});
EM_JS(void, page_show_cursor, (int shown), { Module.page.showCursor(shown !== 0); });
EM_JS(void, page_keep_screen_on, (int on), { Module.page.keepScreenOn(on !== 0); });
// Before the module goes: the page reads what it reports of the run.
EM_JS(void, page_show_ending, (int status), { Module.page.showEnding(status); });
// The run's end: the show's stack unwinds to the page as at every flip, and is never resumed.
EM_ASYNC_JS(void, page_never_resume, (), { await new Promise(() => {}); });
// clang-format on

// Long enough for every key name the page sends ("NumpadEnter", "ControlRight").
constexpr int key_name_size = 32;

}  // namespace

void WebBackend::display_mode(int width, int height, emulated::Layout layout) {
  static_cast<void>(layout);  // every frame names its own layout
  placed_for_ = {};
  page_display_mode(width, height);
  place(width, height);
}

void WebBackend::display_mode_restored() { page_display_restored(); }

void WebBackend::wait_for_retrace() { page_next_animation_frame(); }

void WebBackend::present(const emulated::Frame& frame) {
  if (frame.width <= 0 || frame.height <= 0 || frame.width > max_width ||
      frame.height > max_height) {
    return;
  }
  const double start_ms = emscripten_get_now();
  frame_to_rgba(frame, std::span(row_), std::span(rgba_));
  place(frame.width, frame.height);
  page_show_frame(rgba_.data(), frame.width, frame.height, start_ms);
}

void WebBackend::place(int width, int height) {
  std::array<double, 3> viewport{};
  page_viewport(viewport.data());
  if (viewport == placed_for_) return;
  placed_for_ = viewport;
  const CanvasPlacement placement =
      place_canvas(width, height, viewport[0], viewport[1], viewport[2]);
  page_place_canvas(placement.x, placement.y, placement.width, placement.height);
}

void WebBackend::poll_events() {
  // Messages need the show's window: the page's events wait in its queue until there is one.
  if (emulated::display_window_handle() == nullptr) return;
  std::array<char, key_name_size> code{};
  for (;;) {
    const int event = page_next_event(code.data(), key_name_size);
    if (event == 0) return;
    const auto message = input_.translate(static_cast<PageEvent>(event), code.data());
    if (!message) continue;
    if (message->send) {
      if (HWND window = emulated::display_window_handle(); window != nullptr) {
        emulated::send_message(message->message, reinterpret_cast<WPARAM>(window), message->lparam);
      }
    } else {
      emulated::post_message(message->message, message->wparam, message->lparam);
    }
  }
}

void WebBackend::sleep(DWORD milliseconds) {
  // Sleep(0) only gives up the rest of a time slice; the flip before it has already let the page
  // run.
  if (milliseconds == 0) return;
  page_sleep(static_cast<int>(milliseconds));
}

void WebBackend::exit_process(UINT exit_code) {
  // Exiting the runtime would throw its exit status through the animation frame the show was
  // resumed in, an uncaught error on the page; the page drops the suspended module instead.
  page_show_ending(static_cast<int>(exit_code));
  page_never_resume();
  std::abort();  // not reached
}

void WebBackend::show_cursor(bool shown) { page_show_cursor(shown ? 1 : 0); }

void WebBackend::set_screen_saver_active(bool active) {
  screen_saver_active_ = active;
  page_keep_screen_on(active ? 0 : 1);
}

}  // namespace web_platform
