// The command line of xmplay: [--loop] [--rate N] [--interpolation KIND] FILE, or
// --wav OUT.wav [--rate N] [--interpolation KIND] FILE, or --ticks [--seconds S] FILE.
#pragma once

#include <span>
#include <string>

#include "xm/mixer.h"

namespace xmplay {

enum class Mode {
  play,   // on the sound device
  wav,    // into a WAV file, once through
  ticks,  // one line of replayer state a tick, once through
};

struct Options {
  Mode mode = Mode::play;
  std::string module_path{};
  std::string wav_path{};  // Mode::wav only
  int rate = 44100;        // 8000..96000 Hz
  xm::Interpolation interpolation = xm::Interpolation::linear;
  bool loop = false;  // Mode::play only
  bool help = false;
  double seconds = 0;  // Mode::ticks only: stop once this much song time has played, 0 never
  bool operator==(const Options&) const = default;
};

struct Parsed {
  Options options;
  std::string error;  // empty when the command line is good
};

// The arguments after the program name.
Parsed parse(std::span<const char* const> arguments);

extern const char* const usage;
extern const char* const short_usage;

}  // namespace xmplay
