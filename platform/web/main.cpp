// The show in a web page: the emulated platform on the page's canvas, its music through Web Audio.
// The page (page.js) starts it when clicked, its data files in the module's preloaded file system.
//
// Exit status, handed to the page: 0 when the show ends (at its end, on Escape), 1 when its display
// cannot be opened.
#include "platform/audio/audio_output.h"
#include "platform/emulated/emulated_platform.h"
#include "platform/web/web_audio_output.h"
#include "platform/web/web_backend.h"
#include "show/show_main.h"

int main() {
  // Static: the show ends inside, and the music closes its output before that.
  static web_platform::WebBackend backend;
  static web_platform::WebAudioOutput sound;
  emulated::install(backend, emulated::ScreenSettings{});
  web_platform::install_web_audio_output(sound);
  audio::install_output(sound);
  // show_main returns only when the display could not be opened; it ends like the show's own ends.
  backend.exit_process(static_cast<UINT>(show_main()));
}
