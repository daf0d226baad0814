// The sound track alone, as a WAV file: PCM, 44,100 Hz, 16-bit, stereo, little-endian, its length
// announced up front so that it can go to standard output or a pipe as well (see wav_file.h).
#pragma once

#include <cstdint>
#include <filesystem>

#include "platform/capture/media_sink.h"
#include "platform/capture/wav_file.h"

namespace capture {

class WavSink final : public MediaSink {
 public:
  // Opens `target` for a track of `frames` stereo frames; false with error() set when it cannot.
  bool open(const std::filesystem::path& target, std::uint64_t frames);

  bool takes_pictures() const override { return false; }
  bool picture(const std::uint8_t*, int, int) override { return true; }
  bool sound(const std::int16_t* samples, std::size_t frames) override;
  bool finish() override;
  void abandon() override { wav_.abandon(); }
  const std::string& error() const override { return error_; }

 private:
  // Names the target before the reason; false.
  bool fail();

  std::filesystem::path target_;
  WavFile wav_;
  std::string error_;
};

}  // namespace capture
