// A WAV file of 16-bit stereo PCM whose length is known before its first sample: the header goes
// out first and complete, so that the same bytes can go to a stream (standard output, a named pipe,
// a device) as to a file put in place (see output_file.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/audio/wav_header.h"
#include "platform/capture/output_file.h"

namespace capture {

class WavFile {
 public:
  // Opens `target` and writes the header for `frames` stereo frames at `rate` Hz. False with
  // error() set when it cannot, or when that is more than a WAV file holds (then before opening).
  bool open(const std::filesystem::path& target, int rate, std::uint64_t frames);
  // `frames` stereo frames of signed 16-bit samples (left, right, ...); allocates nothing.
  bool write(const std::int16_t* samples, std::size_t frames);
  // Completes the file and puts it in place. Should a number of frames other than the one announced
  // have come, the header is rewritten to say so where the target can seek; where it cannot, the
  // header stands wrong and this fails.
  bool finish();
  // As OutputFile::abandon().
  void abandon() { output_.abandon(); }
  bool direct() const { return output_.direct(); }
  const std::string& error() const { return error_; }

 private:
  bool fail(const std::string& reason);

  OutputFile output_;
  int rate_ = 0;
  std::uint64_t announced_ = 0, written_ = 0;  // frames
  std::array<std::uint8_t, 4096 * audio::wav_bytes_per_frame> bytes_{};
  std::string error_;
};

}  // namespace capture
