// A voice is mixed in runs of frames that cross no loop boundary, each through one kernel chosen by
// interpolation and by whether its gains are ramping; loop ends and turns are dealt with between
// runs, so the kernels hold no checks at all.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "xm/mixer.h"

namespace xm {
namespace {

constexpr double fixed_one = 4294967296.0;  // 1.0 in 32.32 fixed point
constexpr std::int64_t frame = std::int64_t{1} << 32;
constexpr float fraction_scale = 1.0f / 4294967296.0f;
constexpr double ramp_seconds = 0.005;
// Frames advanced at once when a silent voice is moved on: keeps frames * step far from overflow.
constexpr std::size_t advance_chunk = 1 << 16;

// Catmull-Rom weights of the frames before, at, after and two after the position, for fractions
// in steps of 1/cubic_steps: passes through every frame with a continuous slope. Weights from a
// table keep the kernel's arithmetic short and independent from frame to frame. The table is
// worked out on first use rather than by the compiler, so that a program that never mixes cubic
// carries no 64 KB of it; every term is exact in double, so it is the same table everywhere.
constexpr int cubic_bits = 12, cubic_steps = 1 << cubic_bits;
using Weights = std::array<float, 4>;
using CubicTable = std::array<Weights, cubic_steps + 1>;
const CubicTable& cubic_weights() {
  static CubicTable table;
  static const bool filled = [] {
    for (int i = 0; i <= cubic_steps; ++i) {
      const double t = static_cast<double>(i) / cubic_steps, t2 = t * t, t3 = t2 * t;
      table[static_cast<std::size_t>(i)] = {static_cast<float>(0.5 * (-t3 + 2 * t2 - t)),
                                            static_cast<float>(0.5 * (3 * t3 - 5 * t2 + 2)),
                                            static_cast<float>(0.5 * (-3 * t3 + 4 * t2 + t)),
                                            static_cast<float>(0.5 * (t3 - t2))};
    }
    return true;
  }();
  static_cast<void>(filled);
  return table;
}

template <Interpolation interpolation>
inline float sample_at(const std::int16_t* frames, std::int64_t position, const Weights* weights) {
  const std::int16_t* p = frames + (position >> 32);
  const auto fraction = static_cast<std::uint32_t>(position);
  if constexpr (interpolation == Interpolation::nearest) {
    return p[0];
  } else if constexpr (interpolation == Interpolation::linear) {
    const float t = static_cast<float>(fraction) * fraction_scale;
    return static_cast<float>(p[0]) + static_cast<float>(p[1] - p[0]) * t;
  } else {
    // The nearest step: the fraction rounded to cubic_bits (1.0 is the table's last row).
    const std::uint64_t row =
        (std::uint64_t{fraction} + (std::uint64_t{1} << (31 - cubic_bits))) >> (32 - cubic_bits);
    const Weights& w = weights[row];
    return w[0] * p[-1] + w[1] * p[0] + w[2] * p[1] + w[3] * p[2];
  }
}

// Adds `count` frames into `out` and returns the position after them.
template <Interpolation interpolation, bool ramping>
std::int64_t mix_run(const std::int16_t* frames, std::int64_t position, std::int64_t step,
                     float* out, std::size_t count, float& left, float& right, float delta_left,
                     float delta_right) {
  float l = left, r = right;
  const Weights* weights = nullptr;
  if constexpr (interpolation == Interpolation::cubic) weights = cubic_weights().data();
  for (std::size_t i = 0; i < count; ++i) {
    const float value = sample_at<interpolation>(frames, position, weights);
    if constexpr (ramping) {
      l += delta_left;
      r += delta_right;
    }
    out[2 * i] += value * l;
    out[2 * i + 1] += value * r;
    position += step;
  }
  left = l;
  right = r;
  return position;
}

using Kernel = std::int64_t (*)(const std::int16_t*, std::int64_t, std::int64_t, float*,
                                std::size_t, float&, float&, float, float);
// [interpolation][ramping], in the order of the Interpolation enumerators.
constexpr Kernel kernels[3][2] = {
    {mix_run<Interpolation::nearest, false>, mix_run<Interpolation::nearest, true>},
    {mix_run<Interpolation::linear, false>, mix_run<Interpolation::linear, true>},
    {mix_run<Interpolation::cubic, false>, mix_run<Interpolation::cubic, true>},
};

// Frames from the position on that play before the voice reaches its loop end (going forwards) or
// passes the frame before its loop start (going backwards, see wrap()).
std::int64_t frames_in_range(std::int64_t position, std::int64_t step, std::int64_t loop_start,
                             std::int64_t loop_end) {
  if (step > 0) return (loop_end - position + step - 1) / step;
  if (step < 0) return (position - loop_start + frame - 1) / -step + 1;
  return std::numeric_limits<std::int64_t>::max();
}

// Brings a voice that has passed its loop end (or a ping-pong loop's start) back into its loop, as
// turning at every boundary frame by frame would; an unlooped voice stops at its end.
//
// A ping-pong loop of L frames plays its end and start frames twice (the loader's guards mirror
// the loop that way): the frames of one round are s..e-1 then e-1..s, a forward loop of 2L frames
// whose second half is read backwards. Going backwards the position runs from e-1 down to just
// above s-1, between a frame and the one after it in the sample as always.
void wrap(std::int64_t& position, std::int64_t& step, bool& active, LoopType loop,
          std::int64_t loop_start, std::int64_t loop_end) {
  if (step >= 0 ? position < loop_end : position > loop_start - frame) return;
  const std::int64_t length = loop_end - loop_start;
  switch (loop) {
    case LoopType::none:
      active = false;
      return;
    case LoopType::forward:
      position = loop_start + (position - loop_start) % length;
      return;
    case LoopType::ping_pong: {
      const std::int64_t from_start = position - loop_start;
      const std::int64_t round =
          (step > 0 ? from_start : 2 * length - frame - from_start) % (2 * length);
      const std::int64_t speed = std::abs(step);
      const bool backwards = round >= length;
      position = loop_start + (backwards ? 2 * length - frame - round : round);
      step = backwards ? -speed : speed;
      return;
    }
  }
}

}  // namespace

Mixer::Mixer(const MixerSettings& settings) : settings_(settings) {
  settings_.rate = std::clamp(settings_.rate, 8000, 96000);
  ramp_frames_ = std::max(1, static_cast<int>(std::lround(settings_.rate * ramp_seconds)));
}

void Mixer::update(std::span<const Voice> voices) {
  const std::size_t count = std::min<std::size_t>(voices.size(), max_channels);
  for (std::size_t channel = 0; channel < count; ++channel) {
    update_channel(static_cast<int>(channel), voices[channel]);
  }
}

void Mixer::update_channel(int channel, const Voice& voice) {
  Playing& p = voices_[static_cast<std::size_t>(channel)];
  if (voice.sample == nullptr) {
    fade_out(p);
    return;
  }
  if (voice.trigger) {
    fade_out(p);
    const Sample& sample = *voice.sample;
    const bool looped = sample.loop != LoopType::none && sample.loop_length > 0;
    const std::uint32_t end = looped ? sample.loop_start + sample.loop_length : sample.length;
    // A sample whose data lacks its guards is never read, whatever its lengths say.
    if (voice.start_frame >= end ||
        sample.data.size() < static_cast<std::size_t>(end) + 2 * sample_guard) {
      return;
    }
    p = Playing{};
    p.frames = sample.data.data() + sample_guard;
    p.position = static_cast<std::int64_t>(voice.start_frame) << 32;
    p.loop = looped ? sample.loop : LoopType::none;
    p.loop_start = looped ? static_cast<std::int64_t>(sample.loop_start) << 32 : 0;
    p.loop_end = static_cast<std::int64_t>(end) << 32;
    p.active = true;
  }
  if (!p.active) return;
  const double frames_per_output = std::max(0.0, voice.frequency_hz) / settings_.rate;
  const auto step = static_cast<std::int64_t>(std::llround(frames_per_output * fixed_one));
  p.step = p.step < 0 ? -step : step;
  const double level = mixer_gain / 32768.0 * std::max(0.0, voice.volume);
  const int pan = std::clamp(voice.panning, 0, 255);
  set_gains(p, static_cast<float>(level * std::sqrt((256 - pan) / 256.0)),
            static_cast<float>(level * std::sqrt(pan / 256.0)));
}

void Mixer::set_gains(Playing& p, float left, float right) const {
  if (!settings_.ramping) {
    p.left = p.target_left = left;
    p.right = p.target_right = right;
    p.ramp = 0;
    return;
  }
  if (left == p.target_left && right == p.target_right) return;
  p.target_left = left;
  p.target_right = right;
  p.ramp = ramp_frames_;
  p.delta_left = (left - p.left) / static_cast<float>(ramp_frames_);
  p.delta_right = (right - p.right) / static_cast<float>(ramp_frames_);
}

// Stops a channel's sample; with ramping it goes on, fading out, on a spare voice (the quietest
// spare is taken when all are busy).
void Mixer::fade_out(Playing& p) {
  if (!p.active) return;
  p.active = false;
  if (!settings_.ramping || (p.ramp == 0 && p.left == 0 && p.right == 0)) return;
  Playing* spare = &voices_[max_channels];
  for (std::size_t i = max_channels; i < voices_.size(); ++i) {
    Playing& candidate = voices_[i];
    if (!candidate.active) {
      spare = &candidate;
      break;
    }
    if (candidate.ramp < spare->ramp) spare = &candidate;
  }
  *spare = p;
  spare->active = true;
  set_gains(*spare, 0, 0);
}

void Mixer::mix_voice(Playing& p, float* out, std::size_t frames) const {
  const auto interpolation = static_cast<std::size_t>(settings_.interpolation);
  while (frames > 0 && p.active) {
    std::size_t count = frames;
    if (p.ramp == 0 && p.left == 0 && p.right == 0) {
      // Silent: the position moves on without reading a frame.
      count = std::min(frames, advance_chunk);
      p.position += static_cast<std::int64_t>(count) * p.step;
    } else {
      const std::int64_t in_range = frames_in_range(p.position, p.step, p.loop_start, p.loop_end);
      count = static_cast<std::size_t>(
          std::min<std::int64_t>(static_cast<std::int64_t>(frames),
                                 p.ramp > 0 ? std::min<std::int64_t>(in_range, p.ramp) : in_range));
      p.position = kernels[interpolation][p.ramp > 0](p.frames, p.position, p.step, out, count,
                                                      p.left, p.right, p.delta_left, p.delta_right);
      if (p.ramp > 0) {
        p.ramp -= static_cast<int>(count);
        if (p.ramp == 0) {
          p.left = p.target_left;
          p.right = p.target_right;
        }
      }
      out += 2 * count;
    }
    frames -= count;
    wrap(p.position, p.step, p.active, p.loop, p.loop_start, p.loop_end);
  }
}

void Mixer::mix(float* out, std::size_t frames) {
  for (std::size_t i = 0; i < voices_.size(); ++i) {
    Playing& p = voices_[i];
    if (!p.active) continue;
    // A spare whose fade has ended is free again.
    if (i >= max_channels && p.ramp == 0) {
      p.active = false;
      continue;
    }
    mix_voice(p, out, frames);
  }
}

}  // namespace xm
