// The four music calls on our XM player and the platform's sound output.
//
// Init opens the output at once, so that a machine without a sound device is known from the first
// call and the others then do nothing. MusicLoad reads and checks the module, MusicPlay starts it
// looping, Free fades it out, closes the output and lets everything go. Any failure leaves the show
// silent and every later call harmless.
//
// The fill runs on the output's own thread. It shares one atomic state with these calls and touches
// the player only while that state lets it: no lock is ever held while rendering.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>
#include <system_error>
#include <thread>
#include <vector>

#include "music/bassmod.h"
#include "music/fade_out.h"
#include "platform/audio/audio_output.h"
#include "xm/load.h"
#include "xm/player.h"

namespace {

// Larger than any module worth playing; a bound so that a wrong file cannot exhaust memory.
constexpr std::uintmax_t max_module_bytes = 64u << 20;
// Free waits no longer than this for the output to play the fade, even if the device stalls.
constexpr auto fade_wait_limit = std::chrono::milliseconds(250);
// Fills of silence after the fade before the output is closed, so that the fade itself is heard
// rather than cut off in the device's buffer.
constexpr int silent_fills_before_close = 2;

enum class State : int {
  idle,     // nothing started: the fill writes silence
  playing,  // the fill renders the player
  fading,   // the fill renders and fades; it moves on to silent when the fade ends
  silent,   // faded: the fill writes silence and counts its calls
};

struct Music {
  int rate = 0;
  bool opened = false;  // the output is open: Init succeeded and Free has not run
  std::optional<xm::Module> module;
  std::optional<xm::Player> player;
  music::FadeOut fade;  // touched only by the fill while fading
  std::atomic<State> state{State::idle};
  std::atomic<int> silent_fills{0};
};

Music music_state;

void fill(void* context, std::int16_t* samples, std::size_t frames) {
  Music& music = *static_cast<Music*>(context);
  const State state = music.state.load(std::memory_order_acquire);
  std::size_t rendered = 0;
  if (state == State::playing || state == State::fading) {
    rendered = music.player->render(samples, frames);
  }
  std::fill(samples + 2 * rendered, samples + 2 * frames, std::int16_t{0});
  if (state == State::fading && music.fade.apply(samples, frames)) {
    music.state.store(State::silent, std::memory_order_release);
  } else if (state == State::silent) {
    music.silent_fills.fetch_add(1, std::memory_order_release);
  }
}

// The whole of a regular file, or nothing: a missing file, a directory, a pipe or a device, an
// unreadable file or one past the bound.
std::optional<std::vector<std::uint8_t>> read_module_file(const char* name) {
  std::error_code error;
  const std::filesystem::path path = name;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > max_module_bytes) return std::nullopt;
  std::FILE* file = std::fopen(name, "rb");
  if (file == nullptr) return std::nullopt;
  // One byte more than the size seen, so that a file that grew since is noticed and refused.
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size) + 1);
  const std::size_t read = std::fread(bytes.data(), 1, bytes.size(), file);
  const bool failed = std::ferror(file) != 0 || read != size;
  std::fclose(file);
  if (failed) return std::nullopt;
  bytes.resize(read);
  return bytes;
}

}  // namespace

int BASSMOD_Init(int device, std::uint32_t rate, std::uint32_t) {
  Music& music = music_state;
  if (music.opened || device != -1 || rate < 8000 || rate > 96000) return 0;
  music.rate = static_cast<int>(rate);
  music.state.store(State::idle);
  music.opened = audio::output().open(music.rate, &fill, &music);
  return music.opened ? 1 : 0;
}

int BASSMOD_MusicLoad(int from_memory, const void* file, std::uint32_t offset, std::uint32_t length,
                      std::uint32_t) {
  Music& music = music_state;
  if (!music.opened || music.module || file == nullptr) return 0;
  std::span<const std::uint8_t> bytes;
  std::optional<std::vector<std::uint8_t>> read;
  if (from_memory != 0) {
    if (length == 0) return 0;
    bytes = {static_cast<const std::uint8_t*>(file) + offset, length};
  } else {
    read = read_module_file(static_cast<const char*>(file));
    if (!read || offset > read->size()) return 0;
    const std::size_t rest = read->size() - offset;
    if (length > rest) return 0;
    bytes = std::span<const std::uint8_t>(*read).subspan(offset, length == 0 ? rest : length);
  }
  xm::LoadResult loaded = xm::load(bytes);
  if (!loaded.ok()) return 0;
  music.module.emplace(std::move(loaded.module));
  return 1;
}

int BASSMOD_MusicPlay() {
  Music& music = music_state;
  if (!music.opened || !music.module || music.player) return 0;
  music.player.emplace(*music.module, xm::PlayerSettings{.rate = music.rate, .loop = true});
  music.fade = music::FadeOut(music.rate);
  music.state.store(State::playing, std::memory_order_release);
  audio::output().start();
  return 1;
}

void BASSMOD_Free() {
  Music& music = music_state;
  if (music.opened) {
    State expected = State::playing;
    if (music.state.compare_exchange_strong(expected, State::fading)) {
      const auto deadline = std::chrono::steady_clock::now() + fade_wait_limit;
      while (music.silent_fills.load(std::memory_order_acquire) < silent_fills_before_close &&
             std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
    // The fill runs no more once this returns.
    audio::output().close();
    music.opened = false;
  }
  music.state.store(State::idle);
  music.silent_fills.store(0);
  music.player.reset();
  music.module.reset();
}
