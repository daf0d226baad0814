// The sound track alone, as a WAV file: PCM, 44,100 Hz, 16-bit, stereo, little-endian.
#pragma once

#include <array>
#include <cstdio>
#include <filesystem>

#include "platform/capture/media_sink.h"

namespace capture {

class WavSink final : public MediaSink {
 public:
  ~WavSink() override;
  // Creates the temporary file beside `target`; false with error() set when it cannot.
  bool open(const std::filesystem::path& target);

  bool takes_pictures() const override { return false; }
  bool picture(const std::uint8_t*, int, int) override { return true; }
  bool sound(const std::int16_t* samples, std::size_t frames) override;
  bool finish() override;
  void abandon() override;
  const std::string& error() const override { return error_; }

 private:
  bool fail(const char* reason);

  std::filesystem::path target_;
  std::string partial_;
  std::FILE* file_ = nullptr;
  std::uint32_t data_bytes_ = 0;
  std::array<std::uint8_t, sound_frames_per_picture * 4> bytes_{};
  std::string error_;
};

}  // namespace capture
