// The music inside the page's audio worklet (sound_worklet.js): the XM player, its fade and the
// sound meter, built as a WebAssembly module of their own with no JavaScript around them. The
// worklet runs on the browser's audio thread, so the sound goes on whatever holds the page's.
//
// The worklet copies the module's bytes into sound_module_buffer(), then calls sound_load(),
// sound_play() and, at the end, sound_fade(); it asks for every quantum of 128 frames with
// sound_render() and reads them from sound_channels(). Until sound_play(), and once the fade has
// run, the quanta are silence. Every call is harmless out of order.
#include <emscripten.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "music/playback.h"
#include "platform/web/sound_meter.h"
#include "xm/load.h"
#include "xm/player.h"

namespace {

constexpr std::size_t quantum_frames = 128;

struct WorkletMusic {
  std::vector<std::uint8_t> bytes;
  std::optional<xm::Module> module;
  std::optional<xm::Player> player;
  music::Playback playback;
  web_platform::SoundMeter meter;
  std::array<std::int16_t, 2 * quantum_frames> samples{};
  std::array<float, 2 * quantum_frames> channels{};  // left quantum, then right
};

WorkletMusic sound;

}  // namespace

extern "C" {

// Room for a module of `size` bytes, or null for none.
EMSCRIPTEN_KEEPALIVE std::uint8_t* sound_module_buffer(std::uint32_t size) {
  if (sound.module || size == 0) return nullptr;
  sound.bytes.assign(size, 0);
  return sound.bytes.data();
}

// Loads the module written into the buffer: 1 when it can be played.
EMSCRIPTEN_KEEPALIVE int sound_load() {
  if (sound.module || sound.bytes.empty()) return 0;
  xm::LoadResult loaded = xm::load(sound.bytes);
  sound.bytes = {};
  if (!loaded.ok()) return 0;
  sound.module.emplace(std::move(loaded.module));
  return 1;
}

// Plays the loaded module looping at `rate` Hz from the next quantum on.
EMSCRIPTEN_KEEPALIVE int sound_play(int rate) {
  if (!sound.module || sound.player || rate < 8000 || rate > 96000) return 0;
  sound.player.emplace(*sound.module, xm::PlayerSettings{.rate = rate, .loop = true});
  sound.playback.play(*sound.player, rate);
  sound.meter = web_platform::SoundMeter(static_cast<std::size_t>(rate));
  return 1;
}

// Fades out over the next quanta; silence after.
EMSCRIPTEN_KEEPALIVE void sound_fade() { sound.playback.stop(std::chrono::milliseconds(0)); }

// True once the fade, or the end of the song, has been heard through.
EMSCRIPTEN_KEEPALIVE int sound_finished() { return sound.playback.finished() ? 1 : 0; }

// Renders the next quantum into sound_channels().
EMSCRIPTEN_KEEPALIVE void sound_render() {
  music::Playback::fill(&sound.playback, sound.samples.data(), quantum_frames);
  if (sound.player) sound.meter.add(sound.samples.data(), quantum_frames);
  web_platform::to_float_channels(sound.samples.data(), quantum_frames, sound.channels.data(),
                                  sound.channels.data() + quantum_frames);
}

EMSCRIPTEN_KEEPALIVE const float* sound_channels() { return sound.channels.data(); }

// What was played: frames, the loudest sample, and each second's loudness (sound_meter.h).
EMSCRIPTEN_KEEPALIVE double sound_frames() { return static_cast<double>(sound.meter.frames()); }
EMSCRIPTEN_KEEPALIVE int sound_peak() { return sound.meter.peak(); }
EMSCRIPTEN_KEEPALIVE int sound_windows() { return static_cast<int>(sound.meter.windows()); }
EMSCRIPTEN_KEEPALIVE double sound_window_rms(int index) {
  return index >= 0 ? sound.meter.window_rms(static_cast<std::size_t>(index)) : 0.0;
}

}  // extern "C"
