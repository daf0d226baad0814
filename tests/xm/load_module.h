// The small module the loader's tests and the fuzzer's seeds are written from.
//
// Three channels (odd counts are kept); a 16-row pattern and an empty 256-row one; orders 1, 0, 1,
// restart 2, speed 3, BPM 200, Amiga frequencies. Instrument 1 "keys": a forward-looped 16-bit
// sample (frames 2..4 looped) and a ping-pong 8-bit one (frames 0..3, volume 70), a keymap, a
// 12-point volume envelope and a 2-point panning envelope; 2 has no samples; 3 holds the file's
// last sample, three 16-bit frames.
#pragma once

#include <cstdint>

#include "tools/xm_writer/xm_module.h"

xmwrite::Module small_module(std::uint16_t version);
