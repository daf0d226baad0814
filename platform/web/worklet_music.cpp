// The four music calls in a web page. The player runs in the page's audio worklet, on the
// browser's audio thread (worklet_player.cpp, sound_worklet.js), so that a busy page never starves
// the sound; each call here becomes a message to it through the page (page.js).
//
// Init succeeds when the page has its worklet ready at the rate asked; MusicLoad reads the module
// file and hands its bytes over, MusicPlay starts it looping and Free fades it out, after which the
// worklet stops. As elsewhere, any failure leaves the show silent and every later call harmless.
#include <emscripten.h>

#include <cstdint>
#include <span>

#include "music/bassmod.h"
#include "music/module_file.h"

namespace {

// The page's side is in page.js; the bodies are JavaScript, which clang-format would take apart.
// clang-format off
EM_JS(int, page_open_sound, (int rate), { return Module.page.openSound(rate) ? 1 : 0; });
EM_JS(void, page_load_sound, (const std::uint8_t* bytes, std::uint32_t size),
      { Module.page.loadSound(HEAPU8.slice(bytes, bytes + size)); });
EM_JS(void, page_play_sound, (), { Module.page.playSound(); });
EM_JS(void, page_stop_sound, (), { Module.page.stopSound(); });
// clang-format on

struct PageMusic {
  bool opened = false;  // the page's worklet takes the music: Init succeeded, Free has not run
  bool loaded = false;
  bool playing = false;
};

PageMusic music_state;

}  // namespace

int BASSMOD_Init(int device, std::uint32_t rate, std::uint32_t) {
  PageMusic& music = music_state;
  if (music.opened || device != -1 || rate < 8000 || rate > 96000) return 0;
  music.opened = page_open_sound(static_cast<int>(rate)) != 0;
  return music.opened ? 1 : 0;
}

int BASSMOD_MusicLoad(int from_memory, const void* file, std::uint32_t offset, std::uint32_t length,
                      std::uint32_t) {
  PageMusic& music = music_state;
  if (!music.opened || music.loaded || file == nullptr) return 0;
  music::ModuleFile read;
  const auto bytes = music::module_bytes(from_memory != 0, file, offset, length, read);
  if (bytes.empty()) return 0;
  // The worklet checks the module as it loads it, and the page says so when it cannot play it.
  page_load_sound(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  music.loaded = true;
  return 1;
}

int BASSMOD_MusicPlay() {
  PageMusic& music = music_state;
  if (!music.opened || !music.loaded || music.playing) return 0;
  page_play_sound();
  music.playing = true;
  return 1;
}

void BASSMOD_Free() {
  // The fade is the worklet's: it plays it out on its own thread and then stops.
  if (music_state.opened) page_stop_sound();
  music_state = PageMusic{};
}
