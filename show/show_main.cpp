#include "show/show_main.h"

#include "display/display.h"
#include "music/bassmod.h"
#include "platform/win32.h"
#include "render/framebuffer.h"
#include "show/assets.h"
#include "show/timeline.h"

std::uint32_t frame_counter;

int show_main() {
  load_assets();
  if (display_open("test", screen_width, screen_height) == 0) return 1;

  // The show plays on whether or not the music could start.
  BASSMOD_Init(-1, 44100, 48);
  BASSMOD_MusicLoad(0, "theme2.xm", 0, 0, 20);
  BASSMOD_MusicPlay();

  // One timeline step per pass, paced only by the display's flips.
  for (;;) {
    draw_scene();
    if (frame_counter > end_frame) {
      BASSMOD_Free();
      display_close();
      ExitProcess(0);
    }
    display_update(framebuffer);
    ++frame_counter;
  }
}
