// The mixer on voices set directly: against a slow plain mixer (real-valued positions, one frame at
// a time, double arithmetic, no ramping), and for clicks with and without ramping.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <vector>

#include "xm/mixer.h"

namespace {

using xm::Interpolation;
using xm::LoopType;
const auto max = [](double a, double b) { return std::max(a, b); };
const auto distance = [](double a, double b) { return std::abs(a - b); };

// 300 frames of `dc`, or of a tone with noise, looped from frame 100 on, with the loader's guards:
// silence before, and after it silence, the loop start again or the loop mirrored (module.h).
xm::Sample make_sample(LoopType loop, int dc = 0) {
  constexpr int length = 300, g = xm::sample_guard;
  xm::Sample s;
  s.length = length;
  s.loop = loop;
  s.loop_start = loop == LoopType::none ? 0 : 100;
  s.loop_length = loop == LoopType::none ? 0 : 200;
  s.data.assign(length + 2 * g, 0);
  for (int i = 0; i < length + (loop == LoopType::none ? 0 : g); ++i) {
    const int j = i < length ? i : loop == LoopType::forward ? i - 200 : 2 * length - 1 - i;
    s.data[g + i] =
        static_cast<std::int16_t>(dc ? dc : 20000 * std::sin(j * .37) + j * 7919 % 4001 - 2000);
  }
  return s;
}

using Step = std::pair<xm::Voice, std::size_t>;  // a voice and the frames mixed after it

double value_at(const xm::Sample& s, double x, Interpolation how) {
  const auto i = static_cast<long>(std::floor(x));
  const double t = x - i;
  const auto at = [&](long k) {
    return static_cast<double>(s.data[static_cast<std::size_t>(i + k + xm::sample_guard)]);
  };
  if (how == Interpolation::nearest) return at(0);
  if (how == Interpolation::linear) return at(0) * (1 - t) + at(1) * t;
  // Cubic Hermite through frames i and i+1, slopes by central differences (Catmull-Rom).
  const double m0 = (at(1) - at(-1)) / 2, m1 = (at(2) - at(0)) / 2, t2 = t * t, t3 = t2 * t;
  return (2 * t3 - 3 * t2 + 1) * at(0) + (t3 - 2 * t2 + t) * m0 + (3 * t2 - 2 * t3) * at(1) +
         (t3 - t2) * m1;
}

std::vector<double> reference(const std::vector<Step>& steps, int rate, Interpolation how) {
  std::vector<double> out;
  const xm::Sample* s = nullptr;
  double x = 0, direction = 1;
  for (const Step& step : steps) {
    const xm::Voice& v = step.first;
    if (v.trigger || !v.sample)
      s = v.sample && v.start_frame < v.sample->length ? v.sample : nullptr;
    if (v.trigger) x = v.start_frame, direction = 1;
    const double level = xm::mixer_gain / 32768 * v.volume;
    const double left = level * std::sqrt((256 - v.panning) / 256.0),
                 right = level * std::sqrt(v.panning / 256.0);
    for (std::size_t n = 0; n < step.second; ++n) {
      const double y = s ? value_at(*s, x, how) : 0;
      out.insert(out.end(), {y * left, y * right});
      if (!s) continue;
      x += direction * v.frequency_hz / rate;
      const double end = s->loop == LoopType::none ? s->length : s->loop_start + s->loop_length;
      for (bool moved = true; moved;) {
        moved = direction > 0 ? x >= end : x <= s->loop_start - 1.0;
        if (moved && s->loop == LoopType::none) s = nullptr, moved = false;
        if (moved && s->loop == LoopType::forward) x -= s->loop_length;
        if (moved && s->loop == LoopType::ping_pong)
          x = direction > 0 ? 2 * end - 1 - x : 2.0 * s->loop_start - 1 - x, direction = -direction;
      }
    }
  }
  return out;
}

std::vector<float> mix(const std::vector<Step>& steps, const xm::MixerSettings& settings) {
  xm::Mixer mixer(settings);
  std::vector<float> out;
  for (const Step& step : steps) {
    mixer.update({&step.first, 1});
    out.resize(out.size() + 2 * step.second);
    mixer.mix(out.data() + out.size() - 2 * step.second, step.second);
  }
  return out;
}

// Triggers, frequency, volume and panning changes, a trigger past the end and a stop; speeds make
// every loop wrap and turn, several times within a frame at the fastest.
TEST(MixerVoices, MatchesPlainMixerWithoutRamping) {
  for (int k = 0; k < 27; ++k) {
    const auto loop = static_cast<LoopType>(k / 9);
    const auto how = static_cast<Interpolation>(k / 3 % 3);
    const int rate = std::array{8000, 44100, 96000}[k % 3];
    const xm::Sample s = make_sample(loop);
    const double r = rate;
    const auto tick = static_cast<std::size_t>(rate / 50);
    const std::vector<Step> steps = {{{&s, true, 5, r * 0.3712345, 1.0, 0}, tick},
                                     {{&s, false, 0, r * 1.9137, 0.5, 200}, tick},
                                     {{&s, false, 0, r * 4.30127, 0.8, 128}, tick},
                                     {{&s, false, 0, 8363, 0.25, 255}, tick},
                                     {{&s, false, 0, r * 241.3, 0.9, 77}, tick},
                                     {{&s, true, 310, r * 0.77, 1.0, 128}, tick},
                                     {{&s, true, 0, r * 0.7734, 1.0, 128}, tick},
                                     {{nullptr, false, 0, r * 0.77, 1.0, 128}, tick}};
    const std::vector<double> expected = reference(steps, rate, how);
    const std::vector<float> got = mix(steps, {rate, how, false});
    const double worst =
        std::transform_reduce(got.begin(), got.end(), expected.begin(), 0.0, max, distance);
    // One step of 16-bit output.
    EXPECT_LT(worst, 3e-5) << "loop " << int(loop) << " interpolation " << int(how) << " rate "
                           << rate;
  }
}

// A constant sample makes every sample-to-sample step the mixer's own: without ramping a start, a
// stop or a jump moves the output by the whole level at once; with it, by a small part of it.
TEST(MixerVoices, RampingRemovesClicks) {
  const xm::Sample up = make_sample(LoopType::forward, 20000),
                   down = make_sample(LoopType::forward, -20000);
  const double level = xm::mixer_gain * 20000 / 32768 * std::sqrt(0.5);
  const xm::Voice playing{&up, true, 0, 8363, 1.0, 128};
  struct Case {
    const char* name;
    xm::Voice first, second;
    double final_level;
  };
  const Case cases[] = {{"note start", {}, playing, level},
                        {"note cut", playing, {}, 0},
                        {"volume 64 to 0", playing, {&up, false, 0, 8363, 0.0, 128}, 0},
                        {"new note", playing, {&down, true, 0, 8363, 1.0, 128}, -level}};
  for (const Case& c : cases) {
    for (bool ramping : {false, true}) {
      const std::vector<float> out =
          mix({{c.first, 2000}, {c.second, 2000}}, {44100, Interpolation::linear, ramping});
      const double biggest =
          std::transform_reduce(out.begin() + 2, out.end(), out.begin(), 0.0, max, distance);
      EXPECT_EQ(biggest < level / 50, ramping)
          << c.name << " ramping " << ramping << ": step " << biggest;
      EXPECT_NEAR(out[out.size() - 2], c.final_level, 1e-6) << c.name;
    }
  }
}

}  // namespace
