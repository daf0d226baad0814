// A player joined to a sound output: the fill function the output calls, a fade-out on stop, and
// where the song is, for whoever shows it.
//
// The fill runs on the output's thread, the other calls on the caller's. They share atomics only:
// the fill renders without a lock, and the caller touches the player again only once stop() has
// returned and the output is closed.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "music/fade_out.h"
#include "xm/player.h"

namespace music {

class Playback {
 public:
  // The function to open the output with, `this` as its context. Silence until play().
  static void fill(void* self, std::int16_t* samples, std::size_t frames);

  // Starts rendering `player`, which produces frames at `rate` Hz, from the next fill on.
  void play(xm::Player& player, int rate);

  // Fades out if playing, then waits until the output has asked for two fills of silence after
  // the fade or the song's end (so both are heard, not cut off in the device's buffer), for at
  // most `limit`. Close the output after it, then the player is the caller's again.
  void stop(std::chrono::milliseconds limit);

  // True once an unlooped song has ended and its end has been played as stop() waits for it.
  bool finished() const;

  struct Progress {
    int order = 0, pattern = 0, row = 0;
    std::int64_t frames = 0;  // rendered so far
  };
  // As of the last fill; the fields may come from two neighbouring fills.
  Progress progress() const;

  // Back to silence, as constructed; only when the output is closed.
  void reset();

 private:
  enum class State : int {
    idle,     // silence
    playing,  // renders the player
    fading,   // renders and fades; silent once the fade ends
    silent,   // faded out or the song ended: silence, fills counted
  };

  xm::Player* player_ = nullptr;
  FadeOut fade_;  // touched only by the fill while fading
  std::atomic<State> state_{State::idle};
  std::atomic<int> silent_fills_{0};
  std::atomic<std::uint32_t> where_{0};  // order, pattern and row, a byte each
  std::atomic<std::int64_t> frames_{0};
};

}  // namespace music
