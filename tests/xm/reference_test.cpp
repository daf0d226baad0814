// Our player beside the outside referees, on the show's module and on modules made here: libxmp
// (per-tick states) and openmpt123 (the loudness of a render). They are black boxes: where they
// disagree with FastTracker 2 the difference is listed in the test, with the reason.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

#include "tests/assets/generated_files.h"
#include "tests/assets/reference_render.h"
#include "tests/xm/tick_traces.h"
#include "tools/xm_writer/xm_module.h"
#include "xm/load.h"
#include "xm/player.h"

namespace {

constexpr std::size_t max_ticks = 200'000;

// How many ticks differ in each respect, and the first of each, described.
struct Count {
  std::size_t ticks = 0;
  std::string first;
};
struct Differences {
  std::size_t compared = 0;  // channel-ticks where either player sounds
  Count position, pitch, volume, panning;
};

void note(Count& d, const TickState& t, int channel, const char* what, double ours, double theirs) {
  if (d.ticks++ == 0) {
    char text[160];
    std::snprintf(text, sizeof text, "order %d row %d tick %d channel %d: %s ours %.2f libxmp %.2f",
                  t.order, t.row, t.tick, channel, what, ours, theirs);
    d.first = text;
  }
}

// FastTracker 2 keeps periods in whole steps (a 64th of a semitone on the linear table, a 1712th
// of C-4's period on the Amiga one); libxmp keeps fractions of them. So a pitch may differ by a
// cent and one such step, and where a vibrato swings, by the steps of its swing too (see
// ChannelState::swing). On the Amiga table FastTracker 2 reads its notes from ProTracker's
// rounded periods, libxmp works them out exactly: up to 4 cents more.
double pitch_tolerance_cents(const ChannelState& x, bool linear) {
  const double steps = 1.0 + x.swing;
  if (linear) return 1.0 + steps * 1200.0 / 768.0;
  const double period = 8363.0 * 1712.0 / x.hz;
  return 5.0 + 1200.0 * std::log2(period / (period - steps));
}

Differences compare(const Trace& ours, const Trace& theirs, bool linear) {
  Differences d;
  const std::size_t n = std::min(ours.ticks.size(), theirs.ticks.size());
  for (std::size_t i = 0; i < n; ++i) {
    const TickState& a = ours.ticks[i];
    const TickState& b = theirs.ticks[i];
    if (a.order != b.order || a.row != b.row || a.tick != b.tick || a.speed != b.speed ||
        a.bpm != b.bpm) {
      note(d.position, a, -1, "position", a.order * 1000 + a.row, b.order * 1000 + b.row);
    }
    for (std::size_t c = 0; c < a.channels.size() && c < b.channels.size(); ++c) {
      const ChannelState& x = a.channels[c];
      const ChannelState& y = b.channels[c];
      // A channel whose note has died away is silent in both, whatever its pitch.
      if (x.volume == 0 && y.volume == 0) continue;
      ++d.compared;
      const int channel = static_cast<int>(c);
      const bool both = x.hz > 0 && y.hz > 0;
      if ((x.hz > 0) != (y.hz > 0) ||
          (both && std::abs(1200 * std::log2(x.hz / y.hz)) > pitch_tolerance_cents(x, linear))) {
        note(d.pitch, a, channel, "Hz", x.hz, y.hz);
      }
      // A released note is a tick ahead of libxmp's (see ChannelState::released), give or take
      // a rounding.
      const bool ahead = x.released && i + 1 < n &&
                         std::abs(x.volume - theirs.ticks[i + 1].channels[c].volume) <= 1;
      if (x.volume != y.volume && !ahead && !(x.released && std::abs(x.volume - y.volume) <= 1)) {
        note(d.volume, a, channel, "volume", x.volume, y.volume);
      }
      if (x.panning != y.panning) note(d.panning, a, channel, "panning", x.panning, y.panning);
    }
  }
  return d;
}

// Pearson correlation of two equally long series.
double correlation(std::vector<double> a, std::vector<double> b) {
  for (std::vector<double>* v : {&a, &b}) {
    const double mean = std::accumulate(v->begin(), v->end(), 0.0) / static_cast<double>(v->size());
    for (double& x : *v) x -= mean;
  }
  const auto dot = [](const auto& x, const auto& y) {
    return std::inner_product(x.begin(), x.end(), y.begin(), 0.0);
  };
  return dot(a, b) / std::sqrt(dot(a, a) * dot(b, b));
}

// `allowed` is the share of channel-ticks that may still differ in pitch or volume.
void expect_same_ticks(const Bytes& file, double allowed = 0) {
  const xm::LoadResult loaded = xm::load(file);
  ASSERT_TRUE(loaded.ok()) << loaded.message();
  const Trace ours = trace_ours(loaded.module, max_ticks);
  const Trace theirs = trace_libxmp(file, max_ticks);
  ASSERT_EQ(ours.error + theirs.error, "");
  EXPECT_EQ(ours.ticks.size(), theirs.ticks.size()) << "song length in ticks";
  const Differences d = compare(ours, theirs, loaded.module.linear_frequencies);
  const auto most = static_cast<std::size_t>(allowed * static_cast<double>(d.compared));
  EXPECT_EQ(d.position.ticks, 0U) << d.position.first;
  EXPECT_LE(d.pitch.ticks, most) << d.pitch.first;
  EXPECT_LE(d.volume.ticks, most) << d.volume.first;
  EXPECT_EQ(d.panning.ticks, 0U) << d.panning.first;
  std::printf("%zu channel-ticks compared: %zu differ in pitch, %zu in volume\n", d.compared,
              d.pitch.ticks, d.volume.ticks);
}

// A song of random rows over the effects both players take the same way, on two instruments that
// never play out: one with sustained, looping volume and panning envelopes and fadeout, one with
// a sustained volume envelope and auto-vibrato.
Bytes effect_tour(bool linear, std::uint32_t seed) {
  // Name, tracker, version, channels, restart, linear frequencies, speed, BPM, orders.
  xmwrite::Module m{"effect tour", "", 0x0104, 6, 1, linear, 6, 125, {0, 1, 2, 1}};
  std::vector<std::int16_t> wave(4000);
  for (std::size_t i = 0; i < wave.size(); ++i) {
    wave[i] = static_cast<std::int16_t>(12000 * std::sin(static_cast<double>(i) * 0.0628));
  }
  // A sample's name, frames, 16-bit, loop, loop start and length; volume, finetune, panning,
  // relative note. Without a volume envelope a key off silences the note, and FastTracker 2 lets a
  // volume change bring it back where libxmp keeps it silent: not taken here.
  using xmwrite::Loop;
  m.instruments = {
      {.name = "",
       .samples = {{"wave", wave, true, Loop::forward, 1000, 3000, 48}},
       .volume_envelope = {{{0, 0}, {4, 64}, {10, 40}, {20, 56}, {40, 8}}, 2, 2, 3},
       .panning_envelope = {{{0, 32}, {6, 60}, {12, 4}}, -1, 0, 2},
       .fadeout = 2000},
      {.name = "",
       .samples = {{"wave", wave, true, Loop::ping_pong, 1000, 3000, 48, -40, 128, 12}},
       .volume_envelope = {{{0, 64}, {8, 64}, {30, 0}}, 1, -1, -1},
       .vibrato_sweep = 20,
       .vibrato_depth = 6,
       .vibrato_rate = 12,
       .fadeout = 800}};
  // Effect, lowest and highest parameter: the effects whose FastTracker 2 behaviour libxmp
  // shares. Left out, where the two part: vibrato and tremolo (see ChannelState::swing), note
  // delay without a note, multi retrig, extra fine portamento, panning slide (libxmp slides the
  // other way), global volume (libxmp hears a change a tick later).
  constexpr std::uint8_t effects[][3] = {
      {0x0, 0x01, 0x7C}, {0x1, 0x01, 0x08}, {0x2, 0x01, 0x08}, {0x3, 0x02, 0x20},
      {0x5, 0x01, 0x0E}, {0x8, 0x00, 0xFF}, {0xA, 0x01, 0x0E}, {0xA, 0x10, 0xE0},
      {0xC, 0x00, 0x40}, {0xE, 0x11, 0x2F}, {0xE, 0xA1, 0xBF}, {0xE, 0xC1, 0xC5},
  };
  std::uint32_t state = seed;
  const auto random = [&](std::uint32_t n) {
    state = state * 1664525U + 1013904223U;
    return (state >> 8) % n;
  };
  for (int p = 0; p < 3; ++p) {
    xmwrite::Pattern pattern(32, m.channels);
    for (int row = 0; row < 32; ++row) {
      for (int c = 0; c < m.channels; ++c) {
        xmwrite::Cell& cell = pattern.at(row, c);
        // A key off with an instrument number is left out: FastTracker 2 gives the note its
        // volume back and lets the envelope run on released, libxmp starts the envelope again.
        if (random(10) == 0) {
          cell.note = xmwrite::key_off;
        } else if (random(3) == 0) {
          cell.note = static_cast<std::uint8_t>(30 + random(30));
          cell.instrument = static_cast<std::uint8_t>(1 + random(2));
        }
        if (random(2) == 0) {
          const auto& e = effects[random(std::size(effects))];
          cell.effect = e[0];
          cell.param = static_cast<std::uint8_t>(e[1] + random(e[2] - e[1] + 1U));
          // A tone portamento goes to the note on its row: where it goes after a plain note the
          // two players part.
          if ((cell.effect == 0x3 || cell.effect == 0x5) && (cell.note == 0 || cell.note == 97)) {
            cell.effect = 0xA;
          }
          // With an instrument number the note gets its volume back, and libxmp slides from the
          // old one.
          if (cell.effect == 0x3 || cell.effect == 0x5) cell.instrument = 0;
          // A slide up and down at once goes up; libxmp goes down.
          if (cell.effect == 0xA && cell.param > 0xF) cell.param &= 0xF0;
        }
        // The volume column's volumes, slides and panning, on rows without an effect: libxmp runs
        // the two in the other order. Its vibrato, panning slides and tone portamento are left
        // out with their effects.
        if (cell.effect == 0 && cell.param == 0 && random(3) == 0) {
          cell.volume =
              static_cast<std::uint8_t>(random(5) == 0 ? 0xC0 + random(16) : 0x10 + random(0x90));
        }
      }
    }
    m.patterns.push_back(pattern);
  }
  return xmwrite::file_bytes(m);
}

TEST(ShowModule, PlaysTickForTickAsLibxmpDoes) { expect_same_ticks(generated("theme2.xm")); }

TEST(EffectTour, PlaysTickForTickAsLibxmpDoesOnEitherTable) {
  for (const bool linear : {true, false}) {
    for (const std::uint32_t seed : {1U, 2U, 3U}) {
      SCOPED_TRACE(testing::Message() << (linear ? "linear" : "Amiga") << " seed " << seed);
      expect_same_ticks(effect_tour(linear, seed), 0.02);
    }
  }
}

// Our render is as long as openmpt123's, and its loudness a window of 50 ms at a time follows
// theirs.
TEST(ShowModule, SoundsAsLoudAsOpenmptHearsItThroughout) {
  const xm::LoadResult loaded = xm::load(generated("theme2.xm"));
  ASSERT_TRUE(loaded.ok()) << loaded.message();
  const Rendering theirs = render_with_openmpt(generated_path("theme2.xm"));
  ASSERT_EQ(theirs.error, "");
  xm::Player player(loaded.module, {.rate = 44100, .interpolation = xm::Interpolation::nearest});
  Rendering ours{"", std::vector<std::int16_t>(theirs.samples.size() + 2)};
  ours.samples.resize(2 * player.render(ours.samples.data(), theirs.frame_count() + 1));
  const std::size_t n = theirs.frame_count();
  ASSERT_EQ(ours.frame_count(), n) << "length in frames";
  EXPECT_GT(correlation(loudness(ours, 0, n, 2205), loudness(theirs, 0, n, 2205)), 0.99);
}

}  // namespace
