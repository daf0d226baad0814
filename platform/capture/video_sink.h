// The show with its music as a video, encoded by ffmpeg running as a child process: the pictures
// go down a pipe on its standard input as raw 24-bit RGB, the sound down a second pipe (its
// descriptor 3) as 16-bit little-endian stereo, each fed by a thread of its own. H.264 and AAC in
// MP4, or FFV1 and PCM in Matroska when lossless, the same bytes from the same show. ffmpeg writes
// under a temporary name beside the target, renamed into place once it has ended well; to standard
// output, a named pipe or a device (see output_file.h) it writes on its own standard output, as it
// goes, in Matroska, which needs no seeking back: H.264 and AAC, or FFV1 and PCM.
#pragma once

#include <sys/types.h>

#include <array>
#include <filesystem>

#include "platform/capture/media_sink.h"
#include "platform/capture/output_file.h"
#include "platform/capture/pipe_feeder.h"

namespace capture {

struct VideoSettings {
  std::filesystem::path target;
  bool lossless = false;
  int scale = 1;              // each pixel becomes scale x scale, by ffmpeg
  int width = 0, height = 0;  // of every picture
};

class VideoSink final : public MediaSink {
 public:
  ~VideoSink() override;
  // Opens the target and starts ffmpeg (found on PATH); false with error() set.
  bool open(const VideoSettings& settings);

  bool takes_pictures() const override { return true; }
  bool picture(const std::uint8_t* rgb, int width, int height) override;
  bool sound(const std::int16_t* samples, std::size_t frames) override;
  bool finish() override;
  void abandon() override;
  const std::string& error() const override { return error_; }

 private:
  bool fail(const std::string& reason);
  // After a feeder failed: why, from how ffmpeg ended.
  bool encoder_stopped(const PipeFeeder& feeder);
  // Waits for ffmpeg; true when it ended with status 0, else `error_` says how it ended.
  bool wait_for_encoder();

  VideoSettings settings_;
  OutputFile output_;
  pid_t encoder_ = -1;
  PipeFeeder pictures_;
  PipeFeeder sounds_;
  std::array<std::uint8_t, sound_frames_per_picture * 4> bytes_{};
  std::string error_;
};

}  // namespace capture
