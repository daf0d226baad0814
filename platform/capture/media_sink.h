// Where a capture sends the show as it runs: the picture of each presented frame and the sound
// that plays during it, in the order presented. A sink writes one output (see output_file.h): a
// file under a temporary name beside its target, put in place only when finished, or a stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace capture {

// The sound is 44,100 stereo 16-bit frames a second; at 60 pictures a second that is exactly 735
// per picture.
constexpr int sound_rate = 44100;
constexpr int pictures_per_second = 60;
constexpr std::size_t sound_frames_per_picture = sound_rate / pictures_per_second;

class MediaSink {
 public:
  virtual ~MediaSink() = default;
  // True when picture() wants every frame (decoding them costs time otherwise saved).
  virtual bool takes_pictures() const = 0;
  // One frame: rows top first, width x 3 bytes of red, green, blue with no gap.
  virtual bool picture(const std::uint8_t* rgb, int width, int height) = 0;
  // `frames` stereo frames of signed 16-bit samples (left, right, ...).
  virtual bool sound(const std::int16_t* samples, std::size_t frames) = 0;
  // Completes the output and puts a file in place.
  virtual bool finish() = 0;
  // Stops and removes the temporary file; what stood at the target is left as it was, and a
  // stream just ends.
  virtual void abandon() = 0;
  // Why the last call that failed did: a whole sentence naming the file.
  virtual const std::string& error() const = 0;
};

}  // namespace capture
