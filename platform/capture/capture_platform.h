// The show without a screen: the emulated platform with a backend that has no window and never
// waits. Each flip is one frame (at an emulated 60 frames per second), numbered from 0 in the order
// presented; the frames asked for are written as PNG files of what the screen shows. With a media
// sink, every frame's picture (as the screen shows it) and the sound the music plays during it
// (pulled from the capture's own sound output) go to the sink as well.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/capture/media_sink.h"
#include "platform/capture/pulled_audio.h"
#include "platform/emulated/emulated_platform.h"

namespace capture {

struct Settings {
  // Where frame-NNNNN.png files go; it must exist.
  std::filesystem::path output_directory;
  // Numbers of the frames to write, in any order.
  std::vector<std::uint32_t> kept_frames;
  // The one layout the emulated screen offers.
  emulated::Layout layout = emulated::Layout::xrgb8888;
  // When set, a progress line is kept up to date here.
  std::FILE* progress = nullptr;
  // Frames the run is expected to present, for the progress line; 0 when unknown.
  std::uint32_t expected_frames = 0;
  // When set, receives every frame and its sound, and is finished when the show ends.
  MediaSink* sink = nullptr;
};

// The exit status when a frame, the sound track or the video could not be written: the capture
// stops there.
constexpr int write_failure_status = 4;

class CaptureBackend final : public emulated::Backend {
 public:
  explicit CaptureBackend(Settings settings);

  // The window that takes the screen is the active application from then on.
  void exclusive_mode(bool exclusive) override;
  void display_mode(int width, int height, emulated::Layout layout) override;
  void present(const emulated::Frame& frame) override;
  void sleep(DWORD) override {}
  // Ends the progress line, flushes every stream and ends the process with the code.
  [[noreturn]] void exit_process(UINT exit_code) override;
  bool screen_saver_active() const override { return screen_saver_active_; }
  void set_screen_saver_active(bool active) override { screen_saver_active_ = active; }

  std::uint32_t frames_presented() const { return frames_presented_; }
  std::uint32_t frames_written() const { return frames_written_; }
  // The file a frame number is written to.
  std::filesystem::path frame_path(std::uint32_t frame) const;
  // The sound output the music is to play through.
  PulledAudio& audio() { return audio_; }

 private:
  void make_room(int width, int height);
  void decode(const emulated::Frame& frame);
  void write_frame(const emulated::Frame& frame);
  void feed_sink(const emulated::Frame& frame);
  [[noreturn]] void stop_on_sink_error();
  void report_progress(bool final);

  Settings settings_;
  std::size_t next_kept_ = 0;  // into the sorted settings_.kept_frames
  std::uint32_t frames_presented_ = 0;
  std::uint32_t frames_written_ = 0;
  bool screen_saver_active_ = true;
  // Made ready when the display mode is set, so that presenting allocates nothing.
  std::vector<std::uint32_t> row_;
  std::vector<std::uint8_t> rgb_;
  std::string path_;
  PulledAudio audio_;
  std::array<std::int16_t, sound_frames_per_picture * 2> sound_{};
  std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};

// Makes a capture backend with these settings the platform (replacing one installed before) and
// returns it.
CaptureBackend& install(Settings settings);

}  // namespace capture
