#include "tools/generate_assets/song_instruments.h"

#include <algorithm>
#include <string>

#include "tools/generate_assets/synth.h"

namespace {

using synth::Decay;
using synth::OnePole;
using synth::sine_turns;

// Drums are one-shots stored at this relative note; C-4 plays them at their own rate.
constexpr int drum_note = 17;
// Tonal samples hold whole cycles of 128 frames; stored 24 semitones up, C-4 sounds as C.
constexpr int tonal_note = 24;
constexpr double cycle = 128.0;

std::size_t frames(double seconds, double rate) { return static_cast<std::size_t>(seconds * rate); }

xmwrite::Envelope envelope(std::vector<xmwrite::EnvelopePoint> points, int sustain = -1) {
  xmwrite::Envelope e;
  e.points = std::move(points);
  e.sustain = sustain;
  return e;
}

// A one-shot rises from nothing over its first 16 frames and its last tenth fades to nothing, so
// it neither starts nor stops with a click.
std::vector<double> faded(std::vector<double> s) {
  const std::size_t rise = std::min<std::size_t>(16, s.size());
  for (std::size_t i = 0; i < rise; ++i) s[i] *= static_cast<double>(i) / 16.0;
  const std::size_t fade = s.size() / 10;
  for (std::size_t i = 0; i < fade; ++i) {
    s[s.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(fade);
  }
  return s;
}

xmwrite::Instrument voice(const char* name, std::vector<std::int16_t> sample, int relative_note,
                          std::uint8_t volume, std::uint8_t panning, xmwrite::Envelope env) {
  xmwrite::Sample s;
  s.name = name;
  s.frames = std::move(sample);
  s.relative_note = static_cast<std::int8_t>(relative_note);
  s.volume = volume;
  s.panning = panning;
  xmwrite::Instrument in;
  in.name = name;
  in.samples.push_back(std::move(s));
  in.volume_envelope = std::move(env);
  return in;
}

xmwrite::Instrument one_shot(const char* name, const std::vector<double>& signal, int relative_note,
                             std::uint8_t volume, std::uint8_t panning, xmwrite::Envelope env) {
  return voice(name, synth::to_pcm16(faded(signal), 0.92), relative_note, volume, panning,
               std::move(env));
}

xmwrite::Instrument looped(const char* name, const std::vector<double>& signal, std::uint8_t volume,
                           std::uint8_t panning, xmwrite::Envelope env, std::uint16_t fadeout) {
  xmwrite::Instrument in =
      voice(name, synth::to_pcm16(signal, 0.92), tonal_note, volume, panning, std::move(env));
  xmwrite::Sample& s = in.samples.front();
  s.loop = xmwrite::Loop::forward;
  s.loop_start = 0;
  s.loop_length = static_cast<std::uint32_t>(s.frames.size());
  in.fadeout = fadeout;
  return in;
}

// Additive oscillator over a loop of `length` frames holding `cycles` whole periods, so the loop
// joins without a click; amplitude(k) gives harmonic k's weight and sine phase.
template <typename Amplitude>
void add_harmonics(std::vector<double>& out, double cycles, int harmonics, double gain,
                   Amplitude amplitude) {
  const double length = static_cast<double>(out.size());
  for (int k = 1; k <= harmonics; ++k) {
    const double a = amplitude(k) * gain;
    if (a == 0) continue;
    const double step = cycles * k / length;
    for (std::size_t i = 0; i < out.size(); ++i) out[i] += a * sine_turns(step * i);
  }
}

double saw(int k) { return 1.0 / k; }

std::vector<double> kick_drum() {
  const double rate = synth::rate_at_c4(drum_note);
  std::vector<double> s(frames(0.42, rate));
  Decay pitch(125.0, 0.032 * rate), body(1.0, 0.16 * rate), click(1.0, 0.002 * rate);
  Prng prng(0x4B1C);
  OnePole click_tone(3000, rate);
  double phase = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    phase += (46.0 + pitch.next()) / rate;
    const double attack = i < 40 ? static_cast<double>(i) / 40.0 : 1.0;
    const double v = sine_turns(phase) * body.next() * attack * 2.2 +
                     click_tone.low(synth::noise(prng)) * click.next() * 0.9;
    s[i] = synth::soft_clip(v);
  }
  return s;
}

std::vector<double> snare_drum() {
  const double rate = synth::rate_at_c4(drum_note);
  std::vector<double> s(frames(0.34, rate));
  Decay pitch(60.0, 0.02 * rate), tone(0.7, 0.045 * rate), hiss(1.0, 0.085 * rate);
  OnePole low_cut(900, rate), high_cut(7500, rate);
  Prng prng(0x5A4E);
  double phase = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    phase += (170.0 + pitch.next()) / rate;
    const double n = high_cut.low(low_cut.high(synth::noise(prng)));
    s[i] = synth::soft_clip(1.4 * (sine_turns(phase) * tone.next() + n * hiss.next() * 1.6));
  }
  return s;
}

std::vector<double> hat(double seconds, double time_constant, std::uint32_t seed) {
  const double rate = synth::rate_at_c4(tonal_note);
  std::vector<double> s(frames(seconds, rate));
  Decay amp(1.0, time_constant * rate);
  OnePole cut_a(6500, rate), cut_b(6500, rate);
  Prng prng(seed);
  for (std::size_t i = 0; i < s.size(); ++i) {
    // A little metal: two square-ish partials under the noise.
    const double ring = (sine_turns(i * 5410.0 / rate) > 0 ? 0.15 : -0.15) +
                        (sine_turns(i * 7870.0 / rate) > 0 ? 0.12 : -0.12);
    s[i] = cut_b.high(cut_a.high(synth::noise(prng) + ring)) * amp.next();
  }
  return s;
}

std::vector<double> crash_cymbal() {
  const double rate = synth::rate_at_c4(drum_note);
  std::vector<double> s(frames(1.7, rate));
  Decay amp(1.0, 0.55 * rate), shimmer(1.0, 0.2 * rate);
  OnePole cut(3800, rate), soften(9000, rate);
  Prng prng(0xC4A5);
  const double partials[] = {3160.0, 4271.0, 5870.0, 6613.0, 8012.0};
  for (std::size_t i = 0; i < s.size(); ++i) {
    double metal = 0;
    for (double f : partials) metal += sine_turns(i * f / rate) > 0 ? 0.08 : -0.08;
    const double attack = i < 60 ? static_cast<double>(i) / 60.0 : 1.0;
    s[i] = soften.low(cut.high(synth::noise(prng) + metal * (0.5 + shimmer.next()))) * amp.next() *
           attack;
  }
  return s;
}

std::vector<double> tom_drum() {
  const double rate = synth::rate_at_c4(drum_note);
  std::vector<double> s(frames(0.5, rate));
  Decay pitch(70.0, 0.09 * rate), body(1.0, 0.2 * rate);
  double phase = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    phase += (95.0 + pitch.next()) / rate;
    const double attack = i < 30 ? static_cast<double>(i) / 30.0 : 1.0;
    s[i] = synth::soft_clip(1.6 * sine_turns(phase) * body.next() * attack);
  }
  return s;
}

// Saw an octave up over a sine sub: two saw periods and one sub period per loop.
std::vector<double> bass_wave() {
  std::vector<double> s(static_cast<std::size_t>(2 * cycle));
  add_harmonics(s, 2, 22, 1.0, [](int k) { return saw(k) / (1.0 + (k / 7.0) * (k / 7.0)); });
  add_harmonics(s, 1, 1, 0.55, [](int) { return 1.0; });
  return s;
}

// Two detuned pulse-saws, 127 and 129 periods per loop: a slow chorus that scales with pitch.
std::vector<double> lead_wave() {
  std::vector<double> s(static_cast<std::size_t>(128 * cycle));
  const auto tone = [](int k) { return (k % 2 ? 1.0 : 0.45) / k / (1.0 + k * k / 150.0); };
  add_harmonics(s, 127, 14, 1.0, tone);
  add_harmonics(s, 129, 14, 1.0, tone);
  return s;
}

// Quarter-duty pulse, band-limited, the classic chip sound for fast arpeggios.
std::vector<double> chip_wave() {
  std::vector<double> s(static_cast<std::size_t>(cycle));
  add_harmonics(s, 1, 18, 1.0, [](int k) { return sine_turns(k * 0.125) / k; });
  return s;
}

// Three detuned saws, softened: a warm string pad.
std::vector<double> pad_wave() {
  std::vector<double> s(static_cast<std::size_t>(256 * cycle));
  const auto warm = [](int k) { return saw(k) / (1.0 + (k / 3.5) * (k / 3.5)); };
  add_harmonics(s, 254, 10, 1.0, warm);
  add_harmonics(s, 256, 10, 1.0, warm);
  add_harmonics(s, 258, 10, 1.0, warm);
  return s;
}

// Frequency modulation at a ratio of 3.5 gives an inharmonic, bell-like ring.
std::vector<double> bell_tone() {
  const double rate = synth::rate_at_c4(tonal_note);
  std::vector<double> s(frames(1.1, rate));
  Decay amp(1.0, 0.38 * rate), index(2.4, 0.25 * rate);
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = static_cast<double>(i) / cycle;  // periods of the note
    const double attack = i < 50 ? static_cast<double>(i) / 50.0 : 1.0;
    s[i] = sine_turns(t + (index.next() + 0.3) * sine_turns(3.5 * t) / (2 * synth::pi)) *
           amp.next() * attack;
  }
  return s;
}

}  // namespace

std::vector<xmwrite::Instrument> song_instruments() {
  std::vector<xmwrite::Instrument> v;
  v.push_back(
      one_shot("kick", kick_drum(), drum_note, 64, 128, envelope({{0, 64}, {10, 56}, {26, 0}})));
  v.push_back(
      one_shot("snare", snare_drum(), drum_note, 58, 124, envelope({{0, 64}, {8, 44}, {20, 0}})));
  v.push_back(one_shot("closed hat", hat(0.09, 0.018, 0x4A7C), tonal_note, 24, 168,
                       envelope({{0, 64}, {3, 24}, {6, 0}})));
  v.push_back(one_shot("open hat", hat(0.42, 0.11, 0x0FE4), tonal_note, 26, 168,
                       envelope({{0, 64}, {10, 40}, {26, 0}})));
  v.push_back(
      one_shot("crash", crash_cymbal(), drum_note, 34, 96, envelope({{0, 64}, {30, 40}, {96, 0}})));
  v.push_back(
      one_shot("tom", tom_drum(), drum_note, 48, 110, envelope({{0, 64}, {14, 40}, {30, 0}})));
  v.push_back(
      looped("bass", bass_wave(), 42, 128, envelope({{0, 64}, {3, 54}, {14, 40}}, 2), 3500));
  xmwrite::Instrument lead_voice =
      looped("lead", lead_wave(), 40, 112, envelope({{0, 0}, {2, 64}, {14, 48}}, 2), 1400);
  lead_voice.vibrato_sweep = 48;
  lead_voice.vibrato_depth = 3;
  lead_voice.vibrato_rate = 18;
  xmwrite::Instrument echo = lead_voice;
  echo.name = "lead echo";
  echo.samples.front().name = echo.name;
  echo.samples.front().volume = 22;
  echo.samples.front().panning = 200;
  v.push_back(std::move(lead_voice));
  v.push_back(std::move(echo));
  v.push_back(looped("chip", chip_wave(), 22, 72,
                     envelope({{0, 64}, {3, 44}, {12, 28}, {40, 20}}, 3), 3000));
  v.push_back(looped("pad", pad_wave(), 24, 128, envelope({{0, 0}, {20, 50}, {44, 44}}, 2), 700));
  v.push_back(
      one_shot("bell", bell_tone(), tonal_note, 36, 150, envelope({{0, 64}, {30, 52}, {90, 0}})));
  return v;
}
