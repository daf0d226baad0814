// Instruments: envelopes, fadeout, auto-vibrato and keymaps over samples of both widths, every
// loop kind and lengths from a few frames to a few thousand, with finetunes and relative notes
// across their ranges.
#include <algorithm>

#include "tools/song_generator/song_parts.h"

namespace song_generator {
namespace {

// 1..12 points (one at tick 0 alone sometimes), sustain, and loops of every length, 0 included,
// some ending on the sustain point.
xmwrite::Envelope envelope(Random& r) {
  xmwrite::Envelope e;
  const int points = r.percent(12) ? 1 : r.between(2, 12);
  int tick = r.percent(98) ? 0 : r.between(1, 8);  // FastTracker 2 itself starts at 0
  for (int i = 0; i < points; ++i) {
    const int roll = r.below(100);
    const int value = roll < 15 ? 0 : roll < 30 ? 64 : r.between(0, 64);
    e.points.push_back({static_cast<std::uint16_t>(tick), static_cast<std::uint16_t>(value)});
    tick += r.percent(10) ? r.between(30, 120) : r.between(1, 24);
  }
  if (r.percent(50)) e.sustain = r.below(points);
  if (r.percent(40)) {
    e.loop_start = r.below(points);
    e.loop_end = r.percent(20) ? e.loop_start : r.between(e.loop_start, points - 1);
    if (e.sustain >= 0 && r.percent(30)) e.sustain = e.loop_end;
  }
  return e;
}

xmwrite::Sample sample(Random& r) {
  xmwrite::Sample s;
  s.sixteen_bit = r.percent(50);
  const int roll = r.below(100);
  const int length = roll < 15   ? r.between(1, 16)
                     : roll < 40 ? r.between(17, 300)
                     : roll < 85 ? r.between(301, 2000)
                                 : r.between(2001, 4000);
  // Any waveform does: the traces follow pitch and volume, not the sound.
  s.frames.resize(static_cast<std::size_t>(length));
  for (int i = 0; i < length; ++i) {
    s.frames[static_cast<std::size_t>(i)] =
        static_cast<std::int16_t>((i * 23 % 256 - 128) * (s.sixteen_bit ? 256 : 1));
  }
  const int loop = r.below(100);
  if (loop >= 35) {
    s.loop = loop < 70 ? xmwrite::Loop::forward : xmwrite::Loop::ping_pong;
    s.loop_start = r.percent(30) ? 0 : static_cast<std::uint32_t>(r.below(length));
    const int left = length - static_cast<int>(s.loop_start);
    const int kind = r.below(100);
    s.loop_length = static_cast<std::uint32_t>(kind < 15   ? 1
                                               : kind < 40 ? r.between(1, std::min(16, left))
                                                           : r.between(1, left));
  }
  s.volume = static_cast<std::uint8_t>(r.percent(10) ? r.between(0, 16) : r.between(17, 64));
  s.panning = static_cast<std::uint8_t>(r.percent(40) ? 128 : r.below(256));
  const int finetune = r.below(100);
  s.finetune = static_cast<std::int8_t>(finetune < 30   ? 0
                                        : finetune < 60 ? r.between(-8, 7) * 16
                                                        : r.between(-128, 127));
  const int relative = r.below(100);
  s.relative_note = static_cast<std::int8_t>(relative < 50   ? 0
                                             : relative < 95 ? r.between(-12, 12)
                                                             : r.between(-96, 95));
  return s;
}

xmwrite::Instrument instrument(Random& r) {
  xmwrite::Instrument in;
  if (r.percent(8)) return in;  // no samples
  const int samples = r.percent(60) ? 1 : r.percent(75) ? r.between(2, 4) : r.between(5, 16);
  for (int i = 0; i < samples; ++i) in.samples.push_back(sample(r));
  // Runs of notes on one sample; now and then a few notes name a sample the instrument lacks.
  int s = r.below(samples);
  for (std::uint8_t& entry : in.keymap) {
    if (r.percent(8)) s = r.below(samples);
    entry = static_cast<std::uint8_t>(s);
  }
  if (r.percent(5)) {
    for (int i = r.between(1, 4); i > 0; --i) {
      const int note = r.below(96);
      in.keymap[static_cast<std::size_t>(note)] = static_cast<std::uint8_t>(samples + r.below(4));
    }
  }
  if (r.percent(60)) in.volume_envelope = envelope(r);
  if (r.percent(35)) in.panning_envelope = envelope(r);
  const int fadeout = r.below(100);
  in.fadeout = static_cast<std::uint16_t>(fadeout < 25   ? 0
                                          : fadeout < 65 ? r.between(1, 0x400)
                                          : fadeout < 95 ? r.between(0x401, 0xFFF)
                                                         : r.between(0x1000, 0xFFFF));
  if (r.percent(50)) {
    in.vibrato_type = static_cast<std::uint8_t>(r.below(4));
    in.vibrato_sweep = static_cast<std::uint8_t>(r.percent(50) ? 0 : r.between(1, 255));
    in.vibrato_depth = static_cast<std::uint8_t>(r.between(1, 15));
    in.vibrato_rate = static_cast<std::uint8_t>(r.between(1, 63));
  }
  return in;
}

}  // namespace

std::vector<xmwrite::Instrument> make_instruments(Random& r) {
  std::vector<xmwrite::Instrument> instruments(
      static_cast<std::size_t>(r.percent(85) ? r.between(1, 5) : r.between(6, 12)));
  for (xmwrite::Instrument& in : instruments) in = instrument(r);
  return instruments;
}

}  // namespace song_generator
