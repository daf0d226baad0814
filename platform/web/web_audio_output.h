// The sound output in a web page: a Web Audio script processor on the page's audio context pulls
// blocks of sound from the music's fill, on the page's one thread, between the show's frames (the
// show's loop is suspended while it waits for the next animation frame). The context is made by
// the page on the click that starts the show, as browsers play sound only after a gesture.
//
// With one thread, nothing plays while the show itself runs: close() is called by the music
// after its wait for the fade, which no fill can answer here, has run out; the sound then simply
// stops.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/audio/audio_output.h"
#include "platform/web/sound_meter.h"

namespace web_platform {

class WebAudioOutput final : public audio::Output {
 public:
  // Fails without an audio context on the page, or when its rate is not `rate`.
  bool open(int rate, audio::Fill fill, void* context) override;
  void start() override;
  void close() override;
  // The page has one thread: its sound is pulled only between the show's frames.
  bool plays_on_its_own() const override { return false; }

  // Renders `frames` frames (at most max_block_frames) for the page and returns where they are:
  // max_block_frames floats of the left channel, then as many of the right. Silence unless
  // started.
  const float* pull(std::size_t frames);

  const SoundMeter& meter() const { return meter_; }

  // The most the page asks for at once.
  static constexpr std::size_t max_block_frames = 4096;

 private:
  audio::Fill fill_ = nullptr;
  void* context_ = nullptr;
  bool started_ = false;
  SoundMeter meter_;
  std::array<std::int16_t, 2 * max_block_frames> samples_{};
  std::array<float, 2 * max_block_frames> channels_{};
};

// The output installed for the page to pull from.
void install_web_audio_output(WebAudioOutput& output);

}  // namespace web_platform
