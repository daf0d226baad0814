// The sound output on Windows: waveOut (winmm) at the rate asked for, stereo, 16 bits.
//
// A thread of its own keeps a few buffers of about 20 ms queued, filling each from the music's
// fill function as the device hands it back. open() fails when there is no sound device (the show
// then runs silent); close() stops the thread and returns once the last fill has returned.
#pragma once

#include "platform/audio/audio_output.h"

namespace windows_platform {

class WaveOutOutput final : public audio::Output {
 public:
  WaveOutOutput();
  ~WaveOutOutput() override;
  WaveOutOutput(const WaveOutOutput&) = delete;
  WaveOutOutput& operator=(const WaveOutOutput&) = delete;

  bool open(int rate, audio::Fill fill, void* context) override;
  void start() override;
  void close() override;

 private:
  struct State;
  State* state_;  // the device, its buffers and the thread; nullptr when not open
};

}  // namespace windows_platform
