// The show in a web page: the emulated platform on the page's canvas, its music in the page's audio
// worklet (worklet_music.cpp). The page (page.js) starts it when clicked, its data files in the
// module's file system.
//
// Exit status, handed to the page: 0 when the show ends (at its end, on Escape), 1 when its display
// cannot be opened.
#include "platform/emulated/emulated_platform.h"
#include "platform/web/web_backend.h"
#include "show/show_main.h"

int main() {
  // Static: the show ends inside.
  static web_platform::WebBackend backend;
  emulated::install(backend, emulated::ScreenSettings{});
  // show_main returns only when the display could not be opened; it ends like the show's own ends.
  backend.exit_process(static_cast<UINT>(show_main()));
}
