// The module rendered by reference players, used as black boxes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rendering {
  std::string error;  // empty when the rendering worked
  int rate = 0;
  std::vector<std::int16_t> frames;  // interleaved stereo
  std::size_t frame_count() const { return frames.size() / 2; }
  double seconds() const { return rate ? static_cast<double>(frame_count()) / rate : 0.0; }
};

// An installed player's path ("openmpt123", "xmp"), or "" when it is not installed.
std::string player_path(const std::string& name);

// openmpt123 at 44100 Hz, 16-bit stereo, once through the order list.
Rendering render_with_openmpt(const std::string& module_path);

// xmp at 44100 Hz, 16-bit stereo, no amplification, with extra options (start order, loop, time).
Rendering render_with_xmp(const std::string& module_path, const std::string& options = "");

// Root mean square of both channels over frames [first, first + count), in dB of full scale.
double rms_db(const Rendering& r, std::size_t first, std::size_t count);
