#include "tools/show_capture/capture_options.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "tools/command_line/value_option.h"

namespace capture_options {

const char* const usage =
    "usage: show-capture [--out DIR [--frames LIST]] [--wav FILE] [--video FILE [--lossless]\n"
    "                    [--scale N]] [--format LAYOUT]\n"
    "Runs the show in the current directory with no screen and writes the frames in LIST as\n"
    "DIR/frame-NNNNN.png, its sound track as a WAV file, or both as a video made by ffmpeg.\n"
    "Frames are numbered from 0 to 5201 in the order they are presented, 60 a second.\n"
    "  --out DIR        directory for the pictures, made if missing\n"
    "  --frames LIST    frames to write, e.g. 0,152,2600-2700 (default: none)\n"
    "  --wav FILE       the sound track: 44,100 Hz, 16-bit stereo\n"
    "  --video FILE     the show with its music: H.264 and AAC in MP4\n"
    "  --lossless       FFV1 and 16-bit PCM in Matroska instead\n"
    "FILE '-' is standard output. To standard output, a named pipe or a device the WAV is\n"
    "written as it is made, and the video in Matroska (H.264 and AAC, or FFV1 and PCM), which\n"
    "needs no seeking; a file is written under a temporary name and renamed when complete.\n"
    "  --scale N        enlarge the video N times, each pixel a square (1 to 8; default 1)\n"
    "  --format LAYOUT  pixel layout of the emulated screen: xrgb8888 (default), xbgr8888,\n"
    "                   rgb888, bgr888, rgb565, bgr565, rgb555, bgr555\n"
    "  --version        print the version (given alone)\n"
    "Ends with the show's exit status; 2 for a bad command line, 4 when a picture, the sound\n"
    "track or the video cannot be written (or ffmpeg is missing or fails).\n";

const char* const short_usage =
    "usage: show-capture [--out DIR [--frames LIST]] [--wav FILE] [--video FILE] (--help for "
    "more)\n";

namespace {

// "'text' what". Out of line: GCC 12 warns wrongly about these appends when they are inlined.
[[gnu::noinline]] std::string describe(std::string_view text, const std::string& what) {
  std::string message = "'";
  message += text;
  message += "' ";
  message += what;
  return message;
}

// A frame number: decimal digits only, at most last_frame. An empty one is named by the whole
// `item` it stands in, so that "-1" is refused as "-1".
std::optional<std::uint32_t> parse_frame(std::string_view text, std::string_view item,
                                         std::string& error) {
  if (text.empty() ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    error = describe(text.empty() ? item : text, "is not a frame number");
    return std::nullopt;
  }
  std::uint64_t value = 0;
  for (char c : text) {
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > last_frame) {
      error = describe(text, "is past the last frame, " + std::to_string(last_frame));
      return std::nullopt;
    }
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace

bool parse_frame_list(const std::string& text, std::vector<std::uint32_t>& frames,
                      std::string& error) {
  std::vector<std::uint32_t> found;
  std::string_view rest = text;
  for (;;) {
    const std::size_t comma = rest.find(',');
    const std::string_view item = rest.substr(0, comma);
    const std::size_t dash = item.find('-');
    const auto first = parse_frame(item.substr(0, dash), item, error);
    if (!first) return false;
    std::uint32_t last = *first;
    if (dash != std::string_view::npos) {
      const auto end = parse_frame(item.substr(dash + 1), item, error);
      if (!end) return false;
      if (*end < *first) {
        error = "range " + std::string(item) + " runs backwards";
        return false;
      }
      last = *end;
    }
    for (std::uint32_t frame = *first; frame <= last; ++frame) found.push_back(frame);
    if (comma == std::string_view::npos) break;
    rest = rest.substr(comma + 1);
  }
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  frames = std::move(found);
  return true;
}

Parsed parse(std::span<const char* const> arguments) {
  Parsed parsed;
  Options& options = parsed.options;
  constexpr std::array<std::string_view, 6> value_names = {"--out", "--frames", "--format",
                                                           "--wav", "--video",  "--scale"};
  std::array<bool, value_names.size()> seen{};
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      options.help = true;
      return parsed;
    }
    if (argument == "--lossless") {
      options.lossless = true;
      continue;
    }
    command_line::ValueOption option;
    switch (command_line::take_value_option(arguments, i, value_names, seen, option)) {
      case command_line::Taken::unknown:
        parsed.error = argument.starts_with("-") ? "unknown option " + std::string(argument)
                                                 : "unexpected argument " + std::string(argument);
        return parsed;
      case command_line::Taken::error:
        parsed.error = option.error;
        return parsed;
      case command_line::Taken::value:
        break;
    }
    const std::string_view name = option.name;
    const std::string value(option.value);
    if (name == "--out") {
      if (value.empty()) {
        parsed.error = "--out needs a directory";
        return parsed;
      }
      options.output_directory = value;
    } else if (name == "--wav" || name == "--video") {
      if (value.empty()) {
        parsed.error = std::string(name) + " needs a file name";
        return parsed;
      }
      (name == "--wav" ? options.wav_path : options.video_path) = value;
    } else if (name == "--scale") {
      if (value.size() != 1 || value[0] < '1' || value[0] > '0' + max_scale) {
        parsed.error = "--scale takes a whole number from 1 to " + std::to_string(max_scale) +
                       ", not '" + value + "'";
        return parsed;
      }
      options.scale = value[0] - '0';
    } else if (name == "--frames") {
      if (!parse_frame_list(value, options.frames, parsed.error)) {
        parsed.error = "--frames: " + parsed.error;
        return parsed;
      }
    } else {
      const auto layout = emulated::parse_layout(value);
      if (!layout) {
        parsed.error = "unknown layout '" + value + "' for --format";
        return parsed;
      }
      options.layout = *layout;
    }
  }
  const bool have_out = seen[0], have_frames = seen[1], have_wav = seen[3], have_video = seen[4],
             have_scale = seen[5];
  if (!have_out && !have_wav && !have_video) {
    parsed.error = "--out DIR, --wav FILE or --video FILE is required";
  } else if (have_wav && have_video) {
    parsed.error = "--wav and --video cannot be given together: a video holds the sound track";
  } else if (have_frames && !have_out) {
    parsed.error = "--frames needs --out DIR";
  } else if ((options.lossless || have_scale) && !have_video) {
    parsed.error = "--lossless and --scale need --video FILE";
  }
  return parsed;
}

}  // namespace capture_options
