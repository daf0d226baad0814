// show-capture: runs the show with no screen and writes chosen frames as PNG files, its sound
// track as a WAV file, or the whole show with its music as a video.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

#include "platform/capture/capture_platform.h"
#include "platform/capture/video_sink.h"
#include "platform/capture/wav_sink.h"
#include "render/framebuffer.h"
#include "show/show_main.h"
#include "tools/show_capture/capture_options.h"

namespace {

// Exit statuses besides the show's own.
constexpr int bad_command_line_status = 2;

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string_view(argv[1]) == "--version") {
    std::puts("show-capture " SHOW_VERSION);
    return 0;
  }
  const capture_options::Parsed parsed = capture_options::parse(
      std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc > 0 ? argc - 1 : 0)));
  const capture_options::Options& options = parsed.options;
  if (options.help) {
    std::fputs(capture_options::usage, stdout);
    return 0;
  }
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "show-capture: %s\n%s", parsed.error.c_str(),
                 capture_options::short_usage);
    return bad_command_line_status;
  }

  const std::filesystem::path directory = options.output_directory;
  if (!directory.empty()) {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error || !std::filesystem::is_directory(directory)) {
      std::fprintf(stderr, "show-capture: cannot create the output directory %s: %s\n",
                   directory.c_str(), error ? error.message().c_str() : "not a directory");
      return capture::write_failure_status;
    }
  }

  std::unique_ptr<capture::MediaSink> sink;
  if (!options.video_path.empty()) {
    auto video = std::make_unique<capture::VideoSink>();
    capture::VideoSettings video_settings;
    video_settings.target = options.video_path;
    video_settings.lossless = options.lossless;
    video_settings.scale = options.scale;
    video_settings.width = screen_width;
    video_settings.height = screen_height;
    if (!video->open(video_settings)) {
      std::fprintf(stderr, "show-capture: %s\n", video->error().c_str());
      return capture::write_failure_status;
    }
    sink = std::move(video);
  }
  if (!options.wav_path.empty()) {
    auto wav = std::make_unique<capture::WavSink>();
    if (!wav->open(options.wav_path, std::uint64_t{capture_options::presented_frames} *
                                         capture::sound_frames_per_picture)) {
      std::fprintf(stderr, "show-capture: %s\n", wav->error().c_str());
      return capture::write_failure_status;
    }
    sink = std::move(wav);
  }

  capture::Settings settings;
  settings.output_directory = directory;
  settings.kept_frames = options.frames;
  settings.layout = options.layout;
  settings.progress = isatty(STDERR_FILENO) ? stderr : nullptr;
  settings.expected_frames = capture_options::presented_frames;
  settings.sink = sink.get();
  capture::install(std::move(settings));
  const int status = show_main();
  // The show ends the process itself, finishing the sink; it returns only when it cannot start.
  if (sink) sink->abandon();
  return status;
}
