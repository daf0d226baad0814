// The module rendered by reference players, used as black boxes: 44100 Hz, 16-bit stereo.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rendering {
  std::string error;                  // empty when the player ran to its end
  std::vector<std::int16_t> samples;  // left, right, left, ...
  std::size_t frame_count() const { return samples.size() / 2; }
};

// openmpt123, once through the order list.
Rendering render_with_openmpt(const std::string& module_path);

// xmp without amplification, with extra options (start order, loop, time).
Rendering render_with_xmp(const std::string& module_path, const std::string& options = "");

// Root mean square of both channels in dB of full scale, for each whole window of `window` frames
// from frame `first` on within `count` frames; frames past the end count as silence, and
// silence is minus infinity.
std::vector<double> loudness(const Rendering& r, std::size_t first, std::size_t count,
                             std::size_t window);
