#include "tests/xm/load_module.h"

xmwrite::Module small_module(std::uint16_t version) {
  using xmwrite::Loop;
  // Name, tracker, version, channels, restart, linear frequencies, speed, BPM, orders.
  xmwrite::Module m{"small", "tests", version, 3, 2, false, 3, 200, {1, 0, 1}};
  xmwrite::Pattern p(16, 3);
  p.at(0, 0) = {49, 1, 0x40, 0x0C, 0x20};
  p.at(1, 1).note = xmwrite::key_off;
  p.at(15, 2) = {96, 3, 0, 35, 1};
  m.patterns = {p, xmwrite::Pattern(256, 3)};
  // Name, frames, 16-bit, loop, loop start and length; volume, finetune, panning, relative note.
  xmwrite::Instrument keys{
      "keys",
      {{"loud", {100, -200, 300, -400, 500, 32767, -32768}, true, Loop::forward, 2, 3},
       {"soft", {1, 2, 3, 4, 5, 6}, false, Loop::ping_pong, 0, 4, 70}}};
  for (std::size_t k = 48; k < 96; ++k) keys.keymap[k] = 1;
  keys.keymap[5] = 7;
  for (std::uint16_t k = 0; k < 12; ++k) {
    keys.volume_envelope.points.push_back({std::uint16_t(10 * k), std::uint16_t(64 - 4 * k)});
  }
  xmwrite::Instrument last{"last", {{"end", {7, 8, 9}, true, Loop::none, 0, 0, 50, -16, 200, -12}}};
  keys.volume_envelope.sustain = 3;
  keys.volume_envelope.loop_start = 5;
  keys.volume_envelope.loop_end = 8;
  keys.panning_envelope.points = {{0, 32}, {30, 60}};
  keys.vibrato_type = 2;
  keys.vibrato_sweep = 10;
  keys.vibrato_depth = 12;
  keys.vibrato_rate = 30;
  keys.fadeout = 1234;
  m.instruments = {keys, {"none"}, last};
  return m;
}
