// xmplay: plays an XM module on the sound device, or writes it once through to a WAV file or as
// a line of player state a tick (--help). A module cut short plays as far as it goes, with a
// warning naming what is missing.
#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <thread>

#include "music/module_file.h"
#include "music/playback.h"
#include "platform/sdl/sdl_audio_output.h"
#include "tools/xmplay/song_files.h"
#include "tools/xmplay/xmplay_options.h"
#include "xm/load.h"
#include "xm/player.h"

namespace {

constexpr int done = 0;
constexpr int no_output = 1;
constexpr int bad_input = 2;
constexpr int interrupted_status = 130;

// Long enough for two of the device's buffers after the fade or the song's end.
constexpr auto end_wait_limit = std::chrono::milliseconds(500);
constexpr auto refresh_interval = std::chrono::milliseconds(100);
constexpr int bar_width = 20;

volatile std::sig_atomic_t interrupted = 0;

extern "C" void on_interrupt(int) { interrupted = 1; }

// "m:ss"
std::string minutes_seconds(double seconds) {
  const long whole = static_cast<long>(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
  return text;
}

// The refreshed status line: title, position, time played of the song's length, and a bar of the
// orders played.
void show_status(const xm::Module& module, const music::Playback::Progress& progress, int rate,
                 double song_seconds) {
  const int orders = static_cast<int>(module.orders.size());
  const int rows = module.patterns[static_cast<std::size_t>(progress.pattern)].rows;
  const double done_part = (progress.order + static_cast<double>(progress.row + 1) / rows) / orders;
  const auto filled = static_cast<std::size_t>(std::clamp(done_part, 0.0, 1.0) * bar_width);
  std::string bar(bar_width, '.');
  bar.replace(0, filled, filled, '#');
  const std::string played = minutes_seconds(static_cast<double>(progress.frames) / rate);
  const std::string total = minutes_seconds(song_seconds);
  std::printf("\r%.24s  order %d/%d  pattern %d  row %d/%d  %s / %s  [%s]\x1b[K",
              module.name.c_str(), progress.order, orders, progress.pattern, progress.row, rows,
              played.c_str(), total.c_str(), bar.c_str());
  std::fflush(stdout);
}

// Ctrl-C and a termination request end playing with a fade and the device closed, and a WAV file
// without leaving its temporary file behind.
void catch_interrupts() {
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

int play(const xm::Module& module, const xmplay::Options& options) {
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  catch_interrupts();
  sdl_platform::SdlAudioOutput output;
  music::Playback playback;
  if (!output.open(options.rate, &music::Playback::fill, &playback)) {
    std::fprintf(stderr, "xmplay: no sound device: %s\n", SDL_GetError());
    SDL_Quit();
    return no_output;
  }

  xm::Player player(module, {.rate = options.rate,
                             .interpolation = options.interpolation,
                             .ramping = true,
                             .loop = options.loop});
  const double song_seconds = xm::song_length(module, options.rate).seconds;
  const bool terminal = isatty(STDOUT_FILENO) != 0;
  if (!terminal) std::printf("%s\n", module.name.c_str());
  playback.play(player, options.rate);
  output.start();
  while (interrupted == 0 && !playback.finished()) {
    if (terminal) show_status(module, playback.progress(), options.rate, song_seconds);
    std::this_thread::sleep_for(refresh_interval);
  }
  playback.stop(end_wait_limit);
  output.close();
  if (terminal) {
    show_status(module, playback.progress(), options.rate, song_seconds);
    std::printf("\n");
  }
  SDL_Quit();
  return interrupted != 0 ? interrupted_status : done;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string_view(argv[1]) == "--version") {
    std::puts("xmplay " SHOW_VERSION);
    return done;
  }
  const xmplay::Parsed parsed = xmplay::parse(
      std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc > 0 ? argc - 1 : 0)));
  if (parsed.options.help) {
    std::fputs(xmplay::usage, stdout);
    return done;
  }
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "xmplay: %s\n%s", parsed.error.c_str(), xmplay::short_usage);
    return bad_input;
  }
  const xmplay::Options& options = parsed.options;
  const char* path = options.module_path.c_str();
  const music::ModuleFile file = music::read_module_file(options.module_path);
  if (!file.ok()) {
    std::fprintf(stderr, "xmplay: %s: %s\n", path, file.error.c_str());
    return bad_input;
  }
  const xm::LoadResult loaded = xm::load(file.bytes);
  if (!loaded.ok()) {
    std::fprintf(stderr, "xmplay: %s: %s\n", path, loaded.message().c_str());
    return bad_input;
  }
  // A file that ends early plays as far as it goes; one line says what it lacks.
  const std::string missing = loaded.missing_text();
  if (!missing.empty()) std::fprintf(stderr, "xmplay: %s: cut short: %s\n", path, missing.c_str());

  switch (options.mode) {
    case xmplay::Mode::ticks:
      if (!missing.empty()) std::printf("# cut short: %s\n", missing.c_str());
      xmplay::write_ticks(loaded.module, options.rate, stdout, options.seconds);
      return std::fflush(stdout) == 0 ? done : no_output;
    case xmplay::Mode::wav: {
      catch_interrupts();
      std::string error;
      if (!xmplay::write_wav(loaded.module, options, options.wav_path, error, &interrupted)) {
        std::fprintf(stderr, "xmplay: cannot write %s: %s\n", options.wav_path.c_str(),
                     error.c_str());
        return interrupted != 0 ? interrupted_status : no_output;
      }
      return done;
    }
    case xmplay::Mode::play:
      break;
  }
  return play(loaded.module, options);
}
