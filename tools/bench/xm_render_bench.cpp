// Seconds of audio rendered per CPU second, for the show's song and for a busy 32-channel module,
// by this player and by openmpt123 and xmp rendering the same file with the same interpolation
// (whole processes, timed by the CPU time the kernel reports for them, start-up included).
//
// Usage: xm_render_bench [theme.xm]   (the show's generated song by default)
// Every render is 44,100 Hz, 16-bit stereo, once through the song; this player ramps volumes as it
// does by default, the others are run with the reference comparisons' settings (openmpt123 with its
// default ramping) and write a WAV file.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/xm_writer/xm_module.h"
#include "xm/load.h"
#include "xm/player.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int rate = 44100;
// Each measurement repeats until it has used at least this much CPU time; the best of `rounds`
// measurements is reported.
constexpr double min_cpu_seconds = 0.5;
constexpr int rounds = 3;

struct Interpolation {
  const char* name;
  xm::Interpolation ours;
  const char* openmpt_filter;  // --filter taps
  const char* xmp_mode;        // -i
};
constexpr Interpolation interpolations[] = {
    {"nearest", xm::Interpolation::nearest, "1", "nearest"},
    {"linear", xm::Interpolation::linear, "2", "linear"},
    {"cubic", xm::Interpolation::cubic, "4", "spline"},
};

double process_cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A sample with some harmonics, looped forwards, ping-pong or not at all (then it decays).
xmwrite::Sample make_sample(int k) {
  xmwrite::Sample s;
  const int length = 600 + 700 * k;
  s.loop = static_cast<xmwrite::Loop>(k % 3);
  for (int i = 0; i < length; ++i) {
    const double phase = 2 * M_PI * i * (k + 1) / 300.0;
    const double decay = s.loop == xmwrite::Loop::none ? std::exp(-4.0 * i / length) : 1.0;
    const double v = decay * (std::sin(phase) + 0.4 * std::sin(3 * phase + k) +
                              0.2 * std::sin(7 * phase + 2 * k));
    s.frames.push_back(static_cast<std::int16_t>(14000 * v));
  }
  if (s.loop != xmwrite::Loop::none) {
    s.loop_start = static_cast<std::uint32_t>(length / 3);
    s.loop_length = static_cast<std::uint32_t>(length - length / 3);
  }
  return s;
}

// 32 channels sounding at once: a note on every channel every other row, with vibrato, volume
// slides, portamento and panning, over four patterns (about 31 seconds).
std::vector<std::uint8_t> busy_module() {
  constexpr int channels = 32, rows = 64;
  xmwrite::Module m;
  m.name = "busy";
  m.tracker = "xm_render_bench";
  m.channels = channels;
  for (int k = 0; k < 8; ++k) {
    xmwrite::Instrument instrument;
    instrument.name = "wave";
    instrument.samples.push_back(make_sample(k));
    m.instruments.push_back(instrument);
  }
  constexpr std::uint8_t effects[][2] = {{0x4, 0x46}, {0xA, 0x02}, {0x1, 0x04}, {0x8, 0x30},
                                         {0x0, 0x37}, {0xA, 0x20}, {0x3, 0x08}, {0x0, 0x00}};
  for (int p = 0; p < 4; ++p) {
    xmwrite::Pattern pattern(rows, channels);
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < channels; ++c) {
        xmwrite::Cell& cell = pattern.at(r, c);
        if ((r + c) % 2 == 0) {
          cell.note = static_cast<std::uint8_t>(25 + (c * 7 + r * 5 + p * 3) % 48);
          cell.instrument = static_cast<std::uint8_t>(1 + (c + p) % 8);
          cell.volume = static_cast<std::uint8_t>(0x10 + 32 + (c * 3 + r) % 33);
        }
        const auto& e = effects[(c + r / 4) % 8];
        cell.effect = e[0];
        cell.param = e[0] == 0x8 ? static_cast<std::uint8_t>(c * 8) : e[1];
      }
    }
    m.patterns.push_back(pattern);
    m.orders.push_back(static_cast<std::uint8_t>(p));
  }
  return xmwrite::file_bytes(m);
}

std::vector<std::uint8_t> read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Measure {
  double audio_seconds = 0, cpu_seconds = 0;
  bool ok = false;
};

Measure measure_ours(const xm::Module& module, xm::Interpolation interpolation) {
  Measure m;
  std::vector<std::int16_t> buffer(2 * 4096);
  const double start = process_cpu_seconds();
  do {
    xm::Player player(module, {.rate = rate, .interpolation = interpolation});
    while (player.render(buffer.data(), 4096) > 0) {
    }
    m.audio_seconds += static_cast<double>(player.frames_rendered()) / rate;
    m.cpu_seconds = process_cpu_seconds() - start;
  } while (m.cpu_seconds < min_cpu_seconds);
  m.ok = true;
  return m;
}

// Runs `argv` with its output thrown away and returns the CPU time it used, user and system; a
// negative value when it could not run or failed.
double run_cpu_seconds(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return -1;
  }
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A reference player writing `wav`, which must come out non-empty; each run renders
// `audio_seconds` (the players agree on song lengths to the frame).
Measure measure_process(const std::vector<std::string>& argv, const fs::path& wav,
                        double audio_seconds) {
  Measure m;
  do {
    fs::remove(wav);
    const double cpu = run_cpu_seconds(argv);
    std::error_code error;
    if (cpu < 0 || fs::file_size(wav, error) <= 1024 || error) return {};
    m.cpu_seconds += cpu;
    m.audio_seconds += audio_seconds;
  } while (m.cpu_seconds < min_cpu_seconds);
  m.ok = true;
  return m;
}

// The words of `line` (split at spaces), then `more`.
std::vector<std::string> command(const std::string& line, std::vector<std::string> more) {
  std::vector<std::string> words(1);
  for (char c : line) {
    if (c != ' ') {
      words.back().push_back(c);
    } else if (!words.back().empty()) {
      words.emplace_back();
    }
  }
  words.insert(words.end(), more.begin(), more.end());
  return words;
}

void report(const char* song, const char* interpolation, const char* player, const Measure& m) {
  if (!m.ok) {
    std::printf("%-8s %-8s %-11s (did not run)\n", song, interpolation, player);
    return;
  }
  std::printf("%-8s %-8s %-11s %8.1f s audio / %6.3f s CPU = %8.1f\n", song, interpolation, player,
              m.audio_seconds, m.cpu_seconds, m.audio_seconds / m.cpu_seconds);
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path theme = argc > 1 ? fs::path(argv[1]) : fs::path(SHOW_THEME_XM);
  const fs::path directory =
      fs::temp_directory_path() / ("xm_render_bench." + std::to_string(getpid()));
  fs::create_directories(directory);
  const fs::path busy = directory / "busy32.xm";
  {
    const std::vector<std::uint8_t> bytes = busy_module();
    std::ofstream(busy, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  const std::string wav = (directory / "out.wav").string();
  std::printf("seconds of audio rendered per CPU second, 44100 Hz 16-bit stereo, best of %d\n",
              rounds);
  int status = 0;
  for (const auto& [song, path] : {std::pair{"theme2", theme}, std::pair{"busy32", busy}}) {
    const std::vector<std::uint8_t> bytes = read_file(path);
    const xm::LoadResult loaded = xm::load(bytes);
    if (!loaded.ok()) {
      std::fprintf(stderr, "%s: %s\n", path.c_str(), loaded.message().c_str());
      status = 1;
      continue;
    }
    const double seconds = static_cast<double>(xm::song_length(loaded.module, rate).frames) / rate;
    for (const Interpolation& i : interpolations) {
      const auto openmpt = command(
          "openmpt123 --batch --quiet --samplerate 44100 --channels 2 --no-float --stereo 100 "
          "--dither 0 --gain -6 --ctl play.at_end=stop --force --filter",
          {i.openmpt_filter, "-o", wav, path.string()});
      const auto xmp = command("xmp --norc -q -f 44100 -b 16 -P 100 -e ft2 -a 0 -i",
                               {i.xmp_mode, "-o", wav, path.string()});
      // Rounds in turn, so that a busy moment of the machine does not fall on one player alone.
      Measure best[3];
      for (int round = 0; round < rounds; ++round) {
        const Measure now[3] = {measure_ours(loaded.module, i.ours),
                                measure_process(openmpt, wav, seconds),
                                measure_process(xmp, wav, seconds)};
        for (int k = 0; k < 3; ++k) {
          if (now[k].ok && (!best[k].ok || now[k].audio_seconds / now[k].cpu_seconds >
                                               best[k].audio_seconds / best[k].cpu_seconds)) {
            best[k] = now[k];
          }
        }
      }
      report(song, i.name, "this player", best[0]);
      report(song, i.name, "openmpt123", best[1]);
      report(song, i.name, "xmp", best[2]);
    }
  }
  fs::remove_all(directory);
  return status;
}
