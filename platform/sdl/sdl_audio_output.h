// The sound output on SDL2: the default playback device, signed 16-bit stereo at the rate asked
// for. SDL converts to whatever the device takes, so open() fails only when there is no device.
// The fill function runs on SDL's audio thread.
#pragma once

#include <SDL.h>

#include "platform/audio/audio_output.h"

namespace sdl_platform {

class SdlAudioOutput final : public audio::Output {
 public:
  SdlAudioOutput() = default;
  ~SdlAudioOutput() override { close(); }
  SdlAudioOutput(const SdlAudioOutput&) = delete;
  SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

  // Also brings up SDL's audio subsystem, which close() takes down again.
  bool open(int rate, audio::Fill fill, void* context) override;
  void start() override;
  void close() override;

 private:
  static void callback(void* self, Uint8* stream, int bytes);

  SDL_AudioDeviceID device_ = 0;
  audio::Fill fill_ = nullptr;
  void* context_ = nullptr;
};

}  // namespace sdl_platform
