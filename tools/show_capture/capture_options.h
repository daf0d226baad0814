// The command line of show-capture: [--out DIR [--frames LIST]] [--wav FILE] [--video FILE
// [--lossless] [--scale N]] [--format LAYOUT].
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/emulated/screen_layouts.h"

namespace capture_options {

// The show presents frames 0 to 2650, then jumps ahead and presents 2951 to 5501: 5202 in all.
constexpr std::uint32_t presented_frames = 5202;
constexpr std::uint32_t last_frame = presented_frames - 1;

struct Options {
  std::string output_directory;       // empty when no pictures are written
  std::string wav_path;               // empty when no sound track is written
  std::string video_path;             // empty when no video is written
  bool lossless = false;              // FFV1 and PCM in Matroska instead of H.264 and AAC in MP4
  int scale = 1;                      // whole-factor enlargement of the video
  std::vector<std::uint32_t> frames;  // ascending, each once
  emulated::Layout layout = emulated::Layout::xrgb8888;
  bool help = false;
};

// The largest --scale.
constexpr int max_scale = 8;

struct Parsed {
  Options options;
  std::string error;  // empty when the command line is good
};

// The arguments after the program name.
Parsed parse(std::span<const char* const> arguments);

// A frame list such as "0,152,2600-2700" into ascending frame numbers; false with `error` set when
// an item is not a number or range of them, a range runs backwards or a frame is past last_frame.
bool parse_frame_list(const std::string& text, std::vector<std::uint32_t>& frames,
                      std::string& error);

extern const char* const usage;
extern const char* const short_usage;  // the first line, and where to read more

}  // namespace capture_options
