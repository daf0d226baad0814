// The songs of the music and player tests, as file bytes.
//
// Two channels at speed 2, 125 BPM; one instrument, a looped 16-bit sample of constant value
// (volume 48, panning 64), so that every sound it makes holds one level. Orders 0, 1, going on
// from order 1 at the end; nothing in order 1 stops the notes, so a looping song sounds on.
//   order 0, pattern 0, row 0: C-4 (8363 Hz)       | C-5 (16726 Hz), volume 32, 8C0 (panning 192)
//                       row 1: A04 (volume down 4)  | C10 (volume 16)
//   order 1, pattern 1, row 0: F96 (150 BPM)        | -
#pragma once

#include <cstdint>
#include <vector>

#include "tools/xm_writer/xm_module.h"

inline std::vector<std::uint8_t> test_song() {
  xmwrite::Module song{.name = "test song",
                       .tracker = "",
                       .channels = 2,
                       .restart = 1,
                       .speed = 2,
                       .orders = {0, 1},
                       .patterns = {{2, 2}, {1, 2}},
                       .instruments = {{}}};
  song.patterns[0].at(0, 0) = {.note = 49, .instrument = 1};
  song.patterns[0].at(0, 1) = {
      .note = 61, .instrument = 1, .volume = 0x30, .effect = 8, .param = 0xC0};
  song.patterns[0].at(1, 0) = {.effect = 0xA, .param = 0x04};
  song.patterns[0].at(1, 1) = {.effect = 0xC, .param = 0x10};
  song.patterns[1].at(0, 0) = {.effect = 0xF, .param = 0x96};
  xmwrite::Sample& sample = song.instruments[0].samples.emplace_back();
  sample.frames.assign(64, 16000);
  sample.loop = xmwrite::Loop::forward;
  sample.loop_length = 64;
  sample.volume = 48;
  sample.panning = 64;
  return xmwrite::file_bytes(song);
}
