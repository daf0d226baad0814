#include <algorithm>
#include <cstdlib>

#include "platform/capture/capture_platform.h"
#include "platform/capture/png_file.h"

namespace capture {
namespace {

// Progress goes out every this many frames, and whenever a frame is written.
constexpr std::uint32_t progress_interval = 64;

}  // namespace

CaptureBackend::CaptureBackend(Settings settings) : settings_(std::move(settings)) {
  auto& kept = settings_.kept_frames;
  std::sort(kept.begin(), kept.end());
  kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
  path_.reserve(settings_.output_directory.native().size() + 32);
}

void CaptureBackend::exclusive_mode(bool exclusive) {
  // Nothing else ever takes the screen or the focus away.
  if (exclusive) emulated::send_message(WM_ACTIVATEAPP, 1);
}

void CaptureBackend::display_mode(int width, int height, emulated::Layout) {
  make_room(width, height);
}

void CaptureBackend::make_room(int width, int height) {
  const auto pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (row_.size() < static_cast<std::size_t>(width)) row_.resize(static_cast<std::size_t>(width));
  if (rgb_.size() < pixels * 3) rgb_.resize(pixels * 3);
}

std::filesystem::path CaptureBackend::frame_path(std::uint32_t frame) const {
  char name[32];
  std::snprintf(name, sizeof(name), "frame-%05u.png", static_cast<unsigned>(frame));
  return settings_.output_directory / name;
}

void CaptureBackend::present(const emulated::Frame& frame) {
  const std::uint32_t number = frames_presented_++;
  const auto& kept = settings_.kept_frames;
  const bool keep = next_kept_ < kept.size() && kept[next_kept_] == number;
  if (keep) {
    ++next_kept_;
    decode(frame);
    write_frame(frame);
  }
  if (settings_.sink != nullptr) feed_sink(frame);
  if (settings_.progress != nullptr && (keep || frames_presented_ % progress_interval == 0)) {
    report_progress(false);
  }
}

void CaptureBackend::decode(const emulated::Frame& frame) {
  make_room(frame.width, frame.height);
  std::uint8_t* out = rgb_.data();
  for (int y = 0; y < frame.height; ++y) {
    emulated::decode_row(frame.layout, frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch,
                         frame.width, row_.data());
    for (int x = 0; x < frame.width; ++x) {
      const std::uint32_t pixel = row_[static_cast<std::size_t>(x)];
      *out++ = static_cast<std::uint8_t>(pixel >> 16);
      *out++ = static_cast<std::uint8_t>(pixel >> 8);
      *out++ = static_cast<std::uint8_t>(pixel);
    }
  }
}

void CaptureBackend::feed_sink(const emulated::Frame& frame) {
  MediaSink& sink = *settings_.sink;
  if (sink.takes_pictures()) {
    // A kept frame is decoded already.
    const bool decoded =
        next_kept_ > 0 && settings_.kept_frames[next_kept_ - 1] == frames_presented_ - 1;
    if (!decoded) decode(frame);
    if (!sink.picture(rgb_.data(), frame.width, frame.height)) stop_on_sink_error();
  }
  audio_.pull(sound_.data(), sound_frames_per_picture);
  if (!sink.sound(sound_.data(), sound_frames_per_picture)) stop_on_sink_error();
}

void CaptureBackend::stop_on_sink_error() {
  if (settings_.progress != nullptr) std::fputc('\n', settings_.progress);
  settings_.sink->abandon();
  std::fprintf(stderr, "show-capture: %s\n", settings_.sink->error().c_str());
  std::fflush(nullptr);
  std::exit(write_failure_status);
}

void CaptureBackend::write_frame(const emulated::Frame& frame) {
  path_ = frame_path(frames_presented_ - 1).string();
  std::string error;
  if (!write_png_rgb(path_, rgb_.data(), frame.width, frame.height, error)) {
    if (settings_.progress != nullptr) std::fputc('\n', settings_.progress);
    if (settings_.sink != nullptr) settings_.sink->abandon();
    std::fprintf(stderr, "cannot write %s: %s\n", path_.c_str(), error.c_str());
    std::fflush(nullptr);
    std::exit(write_failure_status);
  }
  ++frames_written_;
}

void CaptureBackend::report_progress(bool final) {
  std::FILE* out = settings_.progress;
  const bool video = settings_.sink != nullptr && settings_.sink->takes_pictures();
  if (video && settings_.expected_frames != 0) {
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started_;
    const double rate = took.count() > 0 ? frames_presented_ / took.count() : 0;
    const double left = rate > 0 && settings_.expected_frames > frames_presented_
                            ? (settings_.expected_frames - frames_presented_) / rate
                            : 0;
    constexpr int bar_width = 30;
    char bar[bar_width + 1];
    const auto filled = std::min<std::uint32_t>(
        bar_width, frames_presented_ * bar_width / settings_.expected_frames);
    for (int i = 0; i < bar_width; ++i) bar[i] = static_cast<std::uint32_t>(i) < filled ? '#' : '.';
    bar[bar_width] = '\0';
    std::fprintf(out, "\r[%s] frame %u of %u, %.0f frames/s, %.0f s left ", bar,
                 static_cast<unsigned>(frames_presented_),
                 static_cast<unsigned>(settings_.expected_frames), rate, left);
  } else if (settings_.expected_frames != 0) {
    std::fprintf(out, "\rframe %u of %u, %u written", static_cast<unsigned>(frames_presented_),
                 static_cast<unsigned>(settings_.expected_frames),
                 static_cast<unsigned>(frames_written_));
  } else {
    std::fprintf(out, "\rframe %u, %u written", static_cast<unsigned>(frames_presented_),
                 static_cast<unsigned>(frames_written_));
  }
  if (final) std::fputc('\n', out);
  std::fflush(out);
}

void CaptureBackend::exit_process(UINT exit_code) {
  if (settings_.progress != nullptr) report_progress(true);
  if (settings_.sink != nullptr && !settings_.sink->finish()) {
    std::fprintf(stderr, "show-capture: %s\n", settings_.sink->error().c_str());
    std::fflush(nullptr);
    std::exit(write_failure_status);
  }
  std::fflush(nullptr);
  std::exit(static_cast<int>(exit_code));
}

}  // namespace capture
