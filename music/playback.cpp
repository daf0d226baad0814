#include "music/playback.h"

#include <algorithm>
#include <thread>

namespace music {

namespace {

constexpr int silent_fills_heard = 2;

}  // namespace

void Playback::fill(void* self, std::int16_t* samples, std::size_t frames) {
  Playback& playback = *static_cast<Playback*>(self);
  const State state = playback.state_.load(std::memory_order_acquire);
  if (state == State::playing || state == State::fading) {
    xm::Player& player = *playback.player_;
    const std::size_t rendered = player.render(samples, frames);
    std::fill(samples + 2 * rendered, samples + 2 * frames, std::int16_t{0});
    const xm::Position at = player.replayer().position();
    playback.where_.store(static_cast<std::uint32_t>(at.order << 16 | at.pattern << 8 | at.row),
                          std::memory_order_relaxed);
    playback.frames_.store(player.frames_rendered(), std::memory_order_relaxed);
    const bool faded = state == State::fading && playback.fade_.apply(samples, frames);
    if (faded || rendered < frames) playback.state_.store(State::silent, std::memory_order_release);
    return;
  }
  std::fill(samples, samples + 2 * frames, std::int16_t{0});
  if (state == State::silent) playback.silent_fills_.fetch_add(1, std::memory_order_release);
}

void Playback::play(xm::Player& player, int rate) {
  player_ = &player;
  fade_ = FadeOut(rate);
  state_.store(State::playing, std::memory_order_release);
}

void Playback::stop(std::chrono::milliseconds limit) {
  State expected = State::playing;
  state_.compare_exchange_strong(expected, State::fading);
  if (state_.load() == State::idle) return;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!finished() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

bool Playback::finished() const {
  return silent_fills_.load(std::memory_order_acquire) >= silent_fills_heard;
}

Playback::Progress Playback::progress() const {
  const std::uint32_t where = where_.load(std::memory_order_relaxed);
  return {static_cast<int>(where >> 16), static_cast<int>(where >> 8 & 0xFF),
          static_cast<int>(where & 0xFF), frames_.load(std::memory_order_relaxed)};
}

void Playback::reset() {
  player_ = nullptr;
  state_.store(State::idle);
  silent_fills_.store(0);
  where_.store(0);
  frames_.store(0);
}

}  // namespace music
