// The sound output of a capture: no device and no clock. The music opens and starts it as it
// would a device; the capture then pulls a frame's worth of sound through the fill at each
// presented frame, so that the sound keeps step with the pictures however fast they are made.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/audio/audio_output.h"

namespace capture {

class PulledAudio final : public audio::Output {
 public:
  // Succeeds at the capture's rate (sound_rate) only.
  bool open(int rate, audio::Fill fill, void* context) override;
  void start() override;
  void close() override;
  bool plays_on_its_own() const override { return false; }

  // Fills `frames` stereo frames: through the fill while started, silence otherwise.
  void pull(std::int16_t* samples, std::size_t frames);

 private:
  audio::Fill fill_ = nullptr;
  void* context_ = nullptr;
  bool started_ = false;
};

}  // namespace capture
