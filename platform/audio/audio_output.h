// Sound output as the music calls see it: one small interface that each platform supplies.
//
// The music opens an output at a rate, hands it a function that fills buffers, starts it, and
// closes it. The fill function runs on the output's own thread (or wherever the platform pulls
// sound from): it must not block or allocate.
#pragma once

#include <cstddef>
#include <cstdint>

namespace audio {

// Fills `frames` stereo frames of signed 16-bit samples (left, right, ...).
using Fill = void (*)(void* context, std::int16_t* samples, std::size_t frames);

class Output {
 public:
  virtual ~Output() = default;
  // Opens the default sound device at `rate` Hz, stereo, 16 bits; false when there is none.
  virtual bool open(int rate, Fill fill, void* context) = 0;
  // Begins calling `fill`.
  virtual void start() = 0;
  // Stops calling `fill` and returns only after its last call has returned; harmless when not open.
  virtual void close() = 0;
  // False when `fill` runs only when the program itself asks for sound, between its frames on its
  // own thread: waiting for such an output to play something would wait for nothing.
  virtual bool plays_on_its_own() const { return true; }
};

// The output the executable installed, or one without a device (its open() fails) if none was.
Output& output();
void install_output(Output& output);

}  // namespace audio
