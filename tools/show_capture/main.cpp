// show-capture: runs the show with no screen and writes chosen frames as PNG files.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/capture/capture_platform.h"
#include "show/show_main.h"
#include "tools/show_capture/capture_options.h"

int main(int argc, char** argv) {
  const capture_options::Parsed parsed = capture_options::parse(
      std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc > 0 ? argc - 1 : 0)));
  if (parsed.options.help) {
    std::fputs(capture_options::usage, stdout);
    return 0;
  }
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "show-capture: %s\n%s", parsed.error.c_str(),
                 capture_options::short_usage);
    return 2;
  }

  const std::filesystem::path directory = parsed.options.output_directory;
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error || !std::filesystem::is_directory(directory)) {
    std::fprintf(stderr, "show-capture: cannot create the output directory %s: %s\n",
                 directory.c_str(), error ? error.message().c_str() : "not a directory");
    return capture::write_failure_status;
  }

  capture::Settings settings;
  settings.output_directory = directory;
  settings.kept_frames = parsed.options.frames;
  settings.layout = parsed.options.layout;
  settings.progress = isatty(STDERR_FILENO) ? stderr : nullptr;
  settings.expected_frames = capture_options::presented_frames;
  capture::install(std::move(settings));
  return show_main();
}
