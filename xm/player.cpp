// Ticks are played whole: a render() that ends inside a tick leaves the rest of it for the next.
#include "xm/player.h"

#include <algorithm>
#include <array>

namespace xm {

Player::Player(const Module& module, const PlayerSettings& settings)
    : settings_(settings),
      replayer_(module),
      mixer_({.rate = settings.rate,
              .interpolation = settings.interpolation,
              .ramping = settings.ramping}) {
  settings_.rate = mixer_.settings().rate;
}

// The replayer says the song has ended after its last tick. F00 halts it after its tick, which
// plays; when looping, a halted song fades to silence and stays there.
bool Player::next_tick() {
  static constexpr std::array<Voice, max_channels> silence{};
  if (replayer_.ended()) {
    ended_ = true;
    if (!settings_.loop) return false;
  }
  replayer_.tick();
  const bool halted = replayer_.position().speed == 0;
  if (halted) ended_ = true;
  if (halted && settings_.loop) {
    mixer_.update(silence);
  } else {
    mixer_.update(replayer_);
  }
  tick_frames_left_ = frames_per_tick(replayer_.position().bpm, settings_.rate);
  return true;
}

std::size_t Player::render(float* out, std::size_t frames) {
  std::size_t done = 0;
  while (done < frames) {
    if (tick_frames_left_ == 0 && !next_tick()) break;
    const std::size_t count = std::min<std::size_t>(frames - done, tick_frames_left_);
    float* at = out + 2 * done;
    std::fill(at, at + 2 * count, 0.0f);
    mixer_.mix(at, count);
    done += count;
    tick_frames_left_ -= static_cast<std::uint32_t>(count);
  }
  frames_rendered_ += static_cast<std::int64_t>(done);
  return done;
}

std::size_t Player::render(std::int16_t* out, std::size_t frames) {
  std::size_t done = 0;
  while (done < frames) {
    const std::size_t got = render(chunk_.data(), std::min(frames - done, chunk_frames));
    for (std::size_t i = 0; i < 2 * got; ++i) {
      // Rounds to nearest by truncating a value made positive.
      const float value = std::clamp(chunk_[i] * 32768.0f, -32768.0f, 32767.0f) + 32768.5f;
      out[2 * done + i] = static_cast<std::int16_t>(static_cast<int>(value) - 32768);
    }
    done += got;
    if (got == 0) break;
  }
  return done;
}

bool Player::ended() const { return ended_; }

std::int64_t Player::frames_rendered() const { return frames_rendered_; }

}  // namespace xm
