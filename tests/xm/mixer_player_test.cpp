// The mixer on voices set directly: against a slow plain mixer (real-valued positions, one frame at
// a time, double arithmetic, no ramping), and for clicks with and without ramping. The player on
// songs built here: its length, renders in pieces by two players side by side, looping, and 16-bit
// saturation, and every channel heard.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <tuple>
#include <vector>

#include "xm/player.h"

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
  if (loop != LoopType::none) s.loop_start = 100, s.loop_length = 200;
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
  const auto at = [&](long k) { return 1.0 * s.data[i + k + xm::sample_guard]; };
  if (how == Interpolation::nearest) return at(0);
  if (how == Interpolation::linear) return at(0) * (1 - t) + at(1) * t;
  // Cubic Hermite through frames i and i+1, slopes by central differences (Catmull-Rom).
  const double m0 = (at(1) - at(-1)) / 2, m1 = (at(2) - at(0)) / 2, d = at(1) - at(0);
  return at(0) + t * (m0 + t * (3 * d - 2 * m0 - m1 + t * (m0 + m1 - 2 * d)));
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
    const double left = xm::mixer_gain / 32768 * v.volume * std::sqrt((256 - v.panning) / 256.0);
    const double right = xm::mixer_gain / 32768 * v.volume * std::sqrt(v.panning / 256.0);
    for (std::size_t n = 0; n < step.second; ++n) {
      const double y = s ? value_at(*s, x, how) : 0;
      out.insert(out.end(), {y * left, y * right});
      if (!s) continue;
      x += direction * v.frequency_hz / rate;
      const double end = s->loop == LoopType::none ? s->length : s->loop_start + s->loop_length;
      // Past the end, or going backwards a whole frame before the start: a ping-pong turn plays
      // the frame it turns at twice, so positions mirror half a frame beyond it.
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
    const auto tick = static_cast<std::size_t>(rate / 50);
    const std::vector<Step> steps = {{{&s, true, 5, rate * 0.3712345, 1.0, 0}, tick},
                                     {{&s, false, 0, rate * 1.9137, 0.5, 200}, tick},
                                     {{&s, false, 0, rate * 4.30127, 0.8, 128}, tick},
                                     {{&s, false, 0, 8363, 0.25, 255}, tick},
                                     {{&s, false, 0, rate * 241.3, 0.9, 77}, tick},
                                     {{&s, true, 310, rate * 0.77, 1.0, 128}, tick},
                                     {{&s, true, 0, rate * 0.7734, 1.0, 128}, tick},
                                     {{nullptr, false, 0, rate * 0.77, 1.0, 128}, tick}};
    const std::vector<double> expected = reference(steps, rate, how);
    const std::vector<float> got = mix(steps, {rate, how, false});
    const double worst =
        std::transform_reduce(got.begin(), got.end(), expected.begin(), 0.0, max, distance);
    // One step of 16-bit output; k is loop type * 9 + interpolation * 3 + rate's index.
    EXPECT_LT(worst, 3e-5) << "case " << k;
  }
}

// A constant sample makes every sample-to-sample step the mixer's own: without ramping a start, a
// stop or a jump moves the output by the whole level at once; with it, by a small part of it.
TEST(MixerVoices, RampingRemovesClicks) {
  const xm::Sample up = make_sample(LoopType::forward, 20000);
  const double level = xm::mixer_gain * 20000 / 32768 * std::sqrt(0.5);
  const xm::Voice playing{&up, true, 0, 8363, 1.0, 128};
  const std::tuple<const char*, xm::Voice, xm::Voice, double> cases[] = {
      {"note start", {}, playing, level},
      {"note cut", playing, {}, 0},
      {"volume 64 to 0", playing, {&up, false, 0, 8363, 0.0, 128}, 0},
      {"new note, panned left", playing, {&up, true, 0, 8363, 1.0, 0}, level * std::sqrt(2.0)}};
  for (const auto& [name, first, second, final_level] : cases) {
    for (bool ramping : {false, true}) {
      const auto out =
          mix({{first, 2000}, {second, 2000}}, {44100, Interpolation::linear, ramping});
      const double step =
          std::transform_reduce(out.begin() + 2, out.end(), out.begin(), 0., max, distance);
      EXPECT_EQ(step < level / 50, ramping) << name << " ramping " << ramping << ": " << step;
      EXPECT_NEAR(out[out.size() - 2], final_level, 1e-6) << name;
    }
  }
}

// Every channel plays a looped sample (`level` throughout, or a tone when 0); a speed and a tempo
// change make ticks of several lengths, and the last row jumps back to the start.
xm::Module make_song(int channels, int level) {
  xm::Module m;
  m.channels = channels;
  m.orders = {0, 1};
  m.instruments.resize(1);
  m.instruments[0].samples = {make_sample(LoopType::forward, level)};
  for (int rows : {16, 8}) {
    std::vector<xm::Cell> cells(rows * channels);
    for (int c = 0; c < channels; ++c) cells[c] = {static_cast<std::uint8_t>(49 + c), 1, 0, 0, 0};
    cells[4 * channels] = {0, 0, 0, 0xF, 0x03};
    cells[6 * channels] = {0, 0, 0, 0xF, 0x80};
    m.patterns.push_back({rows, cells});
  }
  m.patterns[1].cells[7 * channels] = {0, 0, 0, 0xB, 0x00};
  return m;
}

// One call asking for more than the song gives exactly its length; two players alive at once,
// rendering in pieces of other sizes, give the same samples; looping goes on past the end.
TEST(PlayerRender, LengthPiecesSideBySideAndLooping) {
  const xm::Module song = make_song(4, 0);
  for (int rate : {8000, 44100, 96000}) {
    const auto frames = static_cast<std::size_t>(xm::song_length(song, rate).frames);
    xm::Player whole(song, {.rate = rate}), a(song, {.rate = rate}), b(song, {.rate = rate}),
        looping(song, {.rate = rate, .loop = true});
    std::vector<std::int16_t> expected(6 * frames), in_a(2 * frames), in_b(2 * frames);
    EXPECT_EQ(whole.render(expected.data(), frames + 1), frames) << rate;
    EXPECT_EQ(whole.render(expected.data(), 1), 0u);
    EXPECT_TRUE(whole.ended());
    EXPECT_EQ(whole.frames_rendered(), static_cast<std::int64_t>(frames));
    const std::size_t pieces[] = {1, 7, 333, 4096, 64};
    for (std::size_t k = 0, at_a = 0, at_b = 0; k < 10000 && at_a + at_b < 2 * frames; ++k) {
      at_a += a.render(in_a.data() + 2 * at_a, std::min(pieces[k % 5], frames - at_a));
      at_b += b.render(in_b.data() + 2 * at_b, std::min(pieces[(k + 2) % 5], frames - at_b));
    }
    expected.resize(2 * frames);
    EXPECT_EQ(in_a, expected) << rate;
    EXPECT_EQ(in_b, expected) << rate;
    std::vector<std::int16_t> looped(6 * frames);
    EXPECT_EQ(looping.render(looped.data(), 3 * frames), 3 * frames);
    EXPECT_TRUE(looping.ended());
    EXPECT_LT(std::count(looped.begin() + 2 * frames, looped.end(), 0), 1000);
  }
}

// A tick is 2.5 / BPM seconds, its frames rounded down; each tick of a song has its own count.
TEST(PlayerRender, FramesATickRoundDown) {
  const int cases[][3] = {{125, 44100, 882}, {33, 44100, 3340}, {255, 8000, 78}, {32, 48000, 3750}};
  for (const auto& [bpm, rate, frames] : cases) {
    EXPECT_EQ(xm::frames_per_tick(bpm, rate), static_cast<std::uint32_t>(frames)) << bpm;
  }
  // The song: 4 rows of 6 ticks and 2 of 3 at 125 BPM, then 18 rows of 3 ticks at 128 BPM.
  EXPECT_EQ(xm::song_length(make_song(1, 0), 8000).frames,
            4 * 6 * 160 + 2 * 3 * 160 + 18 * 3 * 156);
}

// Every channel is heard, each note in the sample its instrument's keymap gives: channels of
// one level add up to as many times one channel's output, until the 16-bit output saturates.
TEST(PlayerRender, ChannelsAddUpAndSixteenBitOutputSaturates) {
  const auto render = [](const xm::Module& song) {
    xm::Player player(song, {});
    std::vector<std::int16_t> out(4000);
    player.render(out.data(), 2000);
    return std::vector<std::int16_t>(out.begin() + 1000, out.end());
  };
  const int one = render(make_song(1, 1000))[0];
  for (int channels : {2, 5, 32}) {
    EXPECT_NEAR(render(make_song(channels, 1000))[0], channels * one, channels);
  }
  xm::Module mapped = make_song(1, 1000);
  mapped.instruments[0].samples.push_back(make_sample(LoopType::forward, 3000));
  mapped.instruments[0].keymap[48] = 1;  // the song's C-4
  EXPECT_NEAR(render(mapped)[0], 3 * one, 3) << "the keymap's sample";
  for (auto [level, limit] : {std::pair{30000, 32767}, std::pair{-30000, -32768}}) {
    const std::vector<std::int16_t> out = render(make_song(32, level));
    EXPECT_EQ(std::count(out.begin(), out.end(), limit), 3000) << level;
  }
}

}  // namespace
