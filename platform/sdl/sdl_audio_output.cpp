#include "platform/sdl/sdl_audio_output.h"

#include <cstddef>
#include <cstdint>

namespace sdl_platform {

namespace {

constexpr int channels = 2;
// About 23 ms at 44.1 kHz: short enough that the music stops at once, long enough not to starve
// on a busy machine.
constexpr Uint16 buffer_frames = 1024;

}  // namespace

bool SdlAudioOutput::open(int rate, audio::Fill fill, void* context) {
  if (device_ != 0 || fill == nullptr || rate <= 0) return false;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  SDL_AudioSpec wanted{};
  wanted.freq = rate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = channels;
  wanted.samples = buffer_frames;
  wanted.callback = &SdlAudioOutput::callback;
  wanted.userdata = this;
  fill_ = fill;
  context_ = context;
  // No changes allowed: SDL converts from exactly this format to the device's own.
  SDL_AudioSpec obtained{};
  device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
  if (device_ == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  return true;
}

void SdlAudioOutput::start() {
  if (device_ != 0) SDL_PauseAudioDevice(device_, 0);
}

void SdlAudioOutput::close() {
  if (device_ == 0) return;
  // Returns after the callback's last run.
  SDL_CloseAudioDevice(device_);
  device_ = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioOutput::callback(void* self, Uint8* stream, int bytes) {
  const auto* output = static_cast<const SdlAudioOutput*>(self);
  const std::size_t frames = static_cast<std::size_t>(bytes) / (channels * sizeof(std::int16_t));
  output->fill_(output->context_, reinterpret_cast<std::int16_t*>(stream), frames);
}

}  // namespace sdl_platform
