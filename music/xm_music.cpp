// The four music calls on our XM player and the platform's sound output.
//
// Init opens the output at once, so that a machine without a sound device is known from the first
// call and the others then do nothing. MusicLoad reads and checks the module, MusicPlay starts it
// looping, Free fades it out, closes the output and lets everything go. Any failure leaves the show
// silent and every later call harmless.
//
// The fill runs on the output's own thread (music/playback.h); the player and the module are let go
// only once the output is closed.
#include <chrono>
#include <optional>
#include <span>

#include "music/bassmod.h"
#include "music/module_file.h"
#include "music/playback.h"
#include "platform/audio/audio_output.h"
#include "xm/load.h"
#include "xm/player.h"

namespace {

// Free waits no longer than this for the output to play the fade, even if the device stalls; not at
// all for an output that plays only when asked.
constexpr auto fade_wait_limit = std::chrono::milliseconds(250);

struct Music {
  int rate = 0;
  bool opened = false;  // the output is open: Init succeeded and Free has not run
  std::optional<xm::Module> module;
  std::optional<xm::Player> player;
  music::Playback playback;
};

Music music_state;

}  // namespace

int BASSMOD_Init(int device, std::uint32_t rate, std::uint32_t) {
  Music& music = music_state;
  if (music.opened || device != -1 || rate < 8000 || rate > 96000) return 0;
  music.rate = static_cast<int>(rate);
  music.opened = audio::output().open(music.rate, &music::Playback::fill, &music.playback);
  return music.opened ? 1 : 0;
}

int BASSMOD_MusicLoad(int from_memory, const void* file, std::uint32_t offset, std::uint32_t length,
                      std::uint32_t) {
  Music& music = music_state;
  if (!music.opened || music.module || file == nullptr) return 0;
  music::ModuleFile read;
  const auto bytes = music::module_bytes(from_memory != 0, file, offset, length, read);
  if (bytes.empty()) return 0;
  xm::LoadResult loaded = xm::load(bytes);
  if (!loaded.ok()) return 0;
  music.module.emplace(std::move(loaded.module));
  return 1;
}

int BASSMOD_MusicPlay() {
  Music& music = music_state;
  if (!music.opened || !music.module || music.player) return 0;
  music.player.emplace(*music.module, xm::PlayerSettings{.rate = music.rate, .loop = true});
  music.playback.play(*music.player, music.rate);
  audio::output().start();
  return 1;
}

void BASSMOD_Free() {
  Music& music = music_state;
  if (music.opened) {
    music.playback.stop(audio::output().plays_on_its_own() ? fade_wait_limit
                                                           : std::chrono::milliseconds(0));
    // The fill runs no more once this returns.
    audio::output().close();
    music.opened = false;
  }
  music.playback.reset();
  music.player.reset();
  music.module.reset();
}
