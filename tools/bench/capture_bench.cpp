// Frames per second of show-capture: whole runs of the show (5,202 frames) in a directory of
// noisy pictures, writing no frames, or every 100th frame as PNG; and in the show's own data with
// its music, the whole show as a video (FFV1, H.264), with the sound track alone beside it.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int presented_frames = 5202;
const char* const layouts[] = {"xrgb8888", "xbgr8888", "rgb888", "bgr888",
                               "rgb565",   "bgr565",   "rgb555", "bgr555"};

// Pictures with detail everywhere, so that writing them as PNG costs what a real picture costs.
void write_assets(const fs::path& directory) {
  std::uint32_t state = 0x12345678u;
  auto noise = [&state] {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  };
  const char* const pictures[] = {"drumvelk.raw", "presents.raw", "quillmar.raw", "balls.raw"};
  for (int k = 0; k < 4; ++k) {
    std::vector<char> bytes(640 * 400 * 4);
    for (int y = 0; y < 400; ++y) {
      for (int x = 0; x < 640; ++x) {
        char* p = &bytes[static_cast<std::size_t>((y * 640 + x) * 4)];
        p[0] = static_cast<char>(x / 3 + k * 40);
        p[1] = static_cast<char>(y / 2 + (noise() & 15));
        p[2] = static_cast<char>((x ^ y) + k * 90);
        p[3] = 0;
      }
    }
    std::ofstream(directory / pictures[k], std::ios::binary).write(bytes.data(), bytes.size());
  }
  std::vector<char> atlas(728 * 16 * 4);
  for (std::size_t i = 0; i < atlas.size(); i += 4) atlas[i] = (noise() & 3) == 0 ? 1 : 0;
  std::ofstream(directory / "zadadodovoze.raw", std::ios::binary).write(atlas.data(), atlas.size());
}

class BenchDirectory {
 public:
  // With `show_data`, the show's own files (a video of noise measures only the encoder's worst).
  explicit BenchDirectory(bool show_data) {
    std::string pattern = (fs::temp_directory_path() / "capture-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
    if (show_data) {
      fs::copy(SHOW_DATA_DIRECTORY, path_);
    } else {
      write_assets(path_);
    }
  }
  ~BenchDirectory() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// One whole run; its exit status.
int run_capture(const fs::path& directory, const std::vector<std::string>& arguments) {
  std::vector<std::string> owned = {SHOW_CAPTURE_EXECUTABLE};
  owned.insert(owned.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : owned) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const fs::path previous = fs::current_path();
  fs::current_path(directory);  // the show reads its pictures from where it runs
  pid_t child = 0;
  const int spawned = ::posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ);
  fs::current_path(previous);
  if (spawned != 0) return -1;
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void timed_runs(benchmark::State& state, bool show_data,
                const std::vector<std::string>& arguments) {
  BenchDirectory directory(show_data);
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const int status = run_capture(directory.path(), arguments);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (status != 0) {
      state.SkipWithError("show-capture did not end with status 0");
      break;
    }
    state.SetIterationTime(took.count());
  }
  const double frames =
      static_cast<double>(presented_frames) * static_cast<double>(state.iterations());
  state.counters["frames_per_second"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
  // The show plays 60 frames a second.
  state.counters["times_real_time"] = benchmark::Counter(frames / 60, benchmark::Counter::kIsRate);
}

void capture_run(benchmark::State& state, int keep_every) {
  const char* layout = layouts[state.range(0)];
  std::vector<std::string> arguments = {"--out", "out", "--format", layout};
  if (keep_every > 0) {
    std::string list;
    for (int frame = 0; frame < presented_frames; frame += keep_every) {
      if (!list.empty()) list += ',';
      list += std::to_string(frame);
    }
    arguments.push_back("--frames");
    arguments.push_back(list);
  }
  timed_runs(state, false, arguments);
  state.SetLabel(layout);
}

void BM_capture_no_frames(benchmark::State& state) { capture_run(state, 0); }
void BM_capture_every_100th_frame(benchmark::State& state) { capture_run(state, 100); }
// The show with its music.
void BM_capture_sound_track(benchmark::State& state) {
  timed_runs(state, true, {"--wav", "show.wav"});
}
void BM_capture_video_ffv1(benchmark::State& state) {
  timed_runs(state, true, {"--video", "show.mkv", "--lossless"});
}
void BM_capture_video_h264(benchmark::State& state) {
  timed_runs(state, true, {"--video", "show.mp4", "--scale", std::to_string(state.range(0))});
  state.SetLabel(state.range(0) == 1 ? "640x400" : "1280x800");
}

BENCHMARK(BM_capture_no_frames)
    ->DenseRange(0, 7)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK(BM_capture_every_100th_frame)
    ->Arg(0)
    ->Arg(4)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK(BM_capture_sound_track)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
// A run takes tens of seconds: one each.
BENCHMARK(BM_capture_video_ffv1)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_capture_video_h264)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
