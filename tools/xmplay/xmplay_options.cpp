#include "tools/xmplay/xmplay_options.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "tools/command_line/value_option.h"

namespace xmplay {

const char* const usage =
    "usage: xmplay [--loop] [--rate N] [--interpolation KIND] FILE\n"
    "       xmplay --wav OUT.wav [--rate N] [--interpolation KIND] FILE\n"
    "       xmplay --ticks [--seconds S] FILE\n"
    "Plays a FastTracker 2 module (XM) on the default sound device, showing its title, the\n"
    "position (order, pattern, row), the time played and the song's length, and a bar of the\n"
    "orders played. Ctrl-C stops it. A file that ends early plays as far as it goes, with one\n"
    "line on standard error (and with --ticks a '# cut short:' line) naming what is missing.\n"
    "  --loop                play on from where the song goes round, until Ctrl-C\n"
    "  --rate N              frames a second, 8000 to 96000 (default 44100)\n"
    "  --interpolation KIND  nearest, linear (default) or cubic\n"
    "  --wav OUT.wav         write the song once through to a 16-bit stereo WAV file instead;\n"
    "                        '-' is standard output, and a named pipe or a device is written\n"
    "                        as it stands (a file goes under a temporary name, renamed when done)\n"
    "  --ticks               print the player's state after every tick, once through the song:\n"
    "                          ORDER PATTERN ROW TICK SPEED BPM\n"
    "                        then for each channel ' | HZ VOL PAN': the frequency the channel\n"
    "                        plays in Hz with three decimals (0.000 for none), its volume\n"
    "                        0..64 and its panning 0..255 (128 centre); the last line is\n"
    "                          # end: ticks=N duration_s=S\n"
    "  --seconds S           with --ticks, stop after the tick that brings the song time to S\n"
    "                        seconds or more (each tick lasting 2.5 / BPM s); a song stopped\n"
    "                        so has '# stopped: --seconds limit reached' before its end line\n"
    "  --version             print the version (given alone)\n"
    "Exit status: 0 when done, 130 after Ctrl-C (or a termination request), 1 when there is no\n"
    "sound device or the WAV file cannot be written, 2 for a bad command line or a file that is\n"
    "no playable module.\n";

const char* const short_usage = "usage: xmplay [--loop | --wav OUT.wav | --ticks] FILE  (--help)\n";

namespace {

constexpr std::array<std::pair<std::string_view, xm::Interpolation>, 3> interpolations{{
    {"nearest", xm::Interpolation::nearest},
    {"linear", xm::Interpolation::linear},
    {"cubic", xm::Interpolation::cubic},
}};

// A whole number of Hz from 8000 to 96000, digits only.
std::optional<int> parse_rate(std::string_view text) {
  if (text.empty() || text.size() > 5 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  int rate = 0;
  for (char c : text) rate = rate * 10 + (c - '0');
  if (rate < 8000 || rate > 96000) return std::nullopt;
  return rate;
}

// A number of seconds above 0 and at most a day, in digits with at most one decimal point.
std::optional<double> parse_seconds(std::string_view text) {
  if (text.empty() || text.size() > 16 || text.find_first_not_of("0123456789.") != text.npos ||
      std::count(text.begin(), text.end(), '.') > 1 || text == ".") {
    return std::nullopt;
  }
  const double seconds = std::strtod(std::string(text).c_str(), nullptr);
  if (!(seconds > 0 && seconds <= 86400)) return std::nullopt;
  return seconds;
}

// "what 'text'". Out of line: GCC 12 warns wrongly about these appends when they are inlined.
[[gnu::noinline]] std::string quoted(const char* what, std::string_view text) {
  std::string message = what;
  message += " '";
  message += text;
  message += "'";
  return message;
}

}  // namespace

Parsed parse(std::span<const char* const> arguments) {
  Parsed parsed;
  Options& options = parsed.options;
  bool have_loop = false, have_ticks = false;
  constexpr std::array<std::string_view, 4> value_names = {"--rate", "--interpolation", "--wav",
                                                           "--seconds"};
  std::array<bool, value_names.size()> seen{};
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      options.help = true;
      return parsed;
    }
    if (argument == "--loop" || argument == "--ticks") {
      bool& given = argument == "--loop" ? have_loop : have_ticks;
      if (given) {
        parsed.error = std::string(argument) + " given twice";
        return parsed;
      }
      given = true;
      continue;
    }
    if (!argument.starts_with("-") || argument == "-") {
      if (!options.module_path.empty()) {
        parsed.error = quoted("a second file", argument);
        return parsed;
      }
      options.module_path = argument;
      continue;
    }
    command_line::ValueOption option;
    switch (command_line::take_value_option(arguments, i, value_names, seen, option)) {
      case command_line::Taken::unknown:
        parsed.error = quoted("unknown option", argument);
        return parsed;
      case command_line::Taken::error:
        parsed.error = option.error;
        return parsed;
      case command_line::Taken::value:
        break;
    }
    const std::string_view name = option.name;
    const std::string_view value = option.value;
    if (name == "--rate") {
      const std::optional<int> rate = parse_rate(value);
      if (!rate) {
        parsed.error = quoted("--rate takes 8000 to 96000, not", value);
        return parsed;
      }
      options.rate = *rate;
    } else if (name == "--interpolation") {
      const auto* found = std::find_if(interpolations.begin(), interpolations.end(),
                                       [&](const auto& entry) { return entry.first == value; });
      if (found == interpolations.end()) {
        parsed.error = quoted("--interpolation takes nearest, linear or cubic, not", value);
        return parsed;
      }
      options.interpolation = found->second;
    } else if (name == "--seconds") {
      const std::optional<double> seconds = parse_seconds(value);
      if (!seconds) {
        parsed.error = quoted("--seconds takes a number above 0 and up to 86400, not", value);
        return parsed;
      }
      options.seconds = *seconds;
    } else {
      if (value.empty()) {
        parsed.error = "--wav needs a file name";
        return parsed;
      }
      options.wav_path = value;
    }
  }
  const bool have_rate = seen[0], have_interpolation = seen[1], have_wav = seen[2],
             have_seconds = seen[3];
  options.mode = have_wav ? Mode::wav : have_ticks ? Mode::ticks : Mode::play;
  options.loop = have_loop;
  if (options.module_path.empty()) {
    parsed.error = "no module file given";
  } else if (have_wav && have_ticks) {
    parsed.error = "--wav and --ticks exclude each other";
  } else if (have_loop && options.mode != Mode::play) {
    parsed.error = "--loop only plays on the sound device, not with --wav or --ticks";
  } else if (have_ticks && (have_rate || have_interpolation)) {
    parsed.error = "--ticks takes no --rate or --interpolation";
  } else if (have_seconds && !have_ticks) {
    parsed.error = "--seconds only limits --ticks";
  }
  return parsed;
}

}  // namespace xmplay
