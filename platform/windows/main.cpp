// The show on Windows: the real platform, its music played through waveOut (silently when there
// is no sound device).
//
// Exit status: 0 when the show ends (at its end, on Escape, a close request), 1 when its display
// cannot be opened (no "ddraw.dll", or DirectDraw refuses the mode).
#include "platform/audio/audio_output.h"
#include "platform/win32.h"
#include "platform/windows/waveout_output.h"
#include "show/show_main.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Static: the show ends in ExitProcess from inside, and the music closes it before that.
  static windows_platform::WaveOutOutput sound;
  audio::install_output(sound);
  // Returns only when the display could not be opened; every other end exits inside.
  return show_main();
}
