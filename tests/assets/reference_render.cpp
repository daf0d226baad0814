#include "tests/assets/reference_render.h"

#include <cmath>
#include <cstdio>
#include <iterator>

namespace {

// Runs a player that writes raw 16-bit samples to its standard output.
Rendering run_player(const std::string& command) {
  Rendering r;
  FILE* out = popen((command + " 2>/dev/null").c_str(), "r");
  if (out == nullptr) return {"cannot start " + command, {}};
  std::int16_t block[8192];
  while (const std::size_t n = std::fread(block, sizeof block[0], std::size(block), out)) {
    r.samples.insert(r.samples.end(), block, block + n);
  }
  if (pclose(out) != 0) r.error = "failed (is the player installed?): " + command;
  return r;
}

}  // namespace

Rendering render_with_openmpt(const std::string& module_path) {
  return run_player(
      "openmpt123 --batch --quiet --samplerate 44100 --channels 2 --no-float --dither 0"
      " --ctl play.at_end=stop --stdout \"" +
      module_path + "\"");
}

Rendering render_with_xmp(const std::string& module_path, const std::string& options) {
  return run_player("xmp --norc -q -f 44100 -b 16 -a 0 " + options + " -c \"" + module_path + "\"");
}

std::vector<double> loudness(const Rendering& r, std::size_t first, std::size_t count,
                             std::size_t window) {
  std::vector<double> out;
  for (std::size_t at = first; at + window <= first + count; at += window) {
    double sum = 0;
    for (std::size_t i = 2 * at; i < 2 * (at + window) && i < r.samples.size(); ++i) {
      sum += static_cast<double>(r.samples[i]) * r.samples[i];
    }
    out.push_back(10.0 * std::log10(sum / (2.0 * window) / (32768.0 * 32768.0)));
  }
  return out;
}
