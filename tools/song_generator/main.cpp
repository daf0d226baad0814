// xm-generate: writes the random song of a seed as an XM file, and with --describe lists it.
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "tools/command_line/value_option.h"
#include "tools/song_generator/song_generator.h"

namespace {

constexpr int done = 0;
constexpr int cannot_write = 1;
constexpr int bad_command_line = 2;

constexpr const char* usage =
    "usage: xm-generate [--channels N] [--table linear|amiga] [--orders N] [--rows N]\n"
    "                   [--describe] SEED OUT.xm\n"
    "Writes the random FastTracker 2 module of SEED (0 to 4294967295) to OUT.xm: the same file\n"
    "for the same seed and options on every machine.\n"
    "  --channels N   1 to 32 channels (default: drawn from the seed)\n"
    "  --table KIND   linear or amiga frequencies (default: drawn from the seed)\n"
    "  --orders N     the song's length in orders is drawn from 1 to N, 1 to 256 (default 6)\n"
    "  --rows N       each pattern's rows are drawn from 1 to at most N, 1 to 256 (default 64)\n"
    "  --describe     also list the song on standard output: instruments, then patterns a row\n"
    "                 a line\n"
    "Exit status: 0 when written, 1 when OUT.xm cannot be written, 2 for a bad command line.\n";

// A whole number from `low` to `high`, digits only.
std::optional<std::uint32_t> parse_number(std::string_view text, std::uint32_t low,
                                          std::uint32_t high) {
  if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != text.npos)
    return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) value = value * 10 + static_cast<unsigned>(c - '0');
  if (value < low || value > high) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

struct Options {
  song_generator::SongShape shape;
  std::uint32_t seed = 0;
  std::string out_path;
  bool describe = false;
  bool help = false;
};

// Empty when the command line is good, else what is wrong with it.
std::string parse(std::span<const char* const> arguments, Options& options) {
  constexpr std::array<std::string_view, 4> names = {"--channels", "--table", "--orders", "--rows"};
  std::array<bool, names.size()> seen{};
  std::array<std::string_view, 2> positional;
  std::size_t given = 0;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      options.help = true;
      return "";
    }
    if (argument == "--describe") {
      options.describe = true;
      continue;
    }
    if (!argument.starts_with("--")) {
      if (given == positional.size())
        return "one seed and one file, not '" + std::string(argument) + "'";
      positional[given++] = argument;
      continue;
    }
    command_line::ValueOption option;
    switch (command_line::take_value_option(arguments, i, names, seen, option)) {
      case command_line::Taken::unknown:
        return "unknown option '" + std::string(argument) + "'";
      case command_line::Taken::error:
        return option.error;
      case command_line::Taken::value:
        break;
    }
    const std::string value(option.value);
    if (option.name == "--table") {
      if (value != "linear" && value != "amiga")
        return "--table takes linear or amiga, not '" + value + "'";
      options.shape.table =
          value == "linear" ? song_generator::Table::linear : song_generator::Table::amiga;
      continue;
    }
    const bool channels = option.name == "--channels";
    const std::optional<std::uint32_t> number = parse_number(value, 1, channels ? 32 : 256);
    if (!number)
      return std::string(option.name) + " takes 1 to " + (channels ? "32" : "256") + ", not '" +
             value + "'";
    int& field = channels                    ? options.shape.channels
                 : option.name == "--orders" ? options.shape.max_orders
                                             : options.shape.max_rows;
    field = static_cast<int>(*number);
  }
  if (given < positional.size()) return "a seed and an output file are needed";
  const std::optional<std::uint32_t> seed = parse_number(positional[0], 0, 0xFFFFFFFFu);
  if (!seed)
    return "the seed is a number from 0 to 4294967295, not '" + std::string(positional[0]) + "'";
  options.seed = *seed;
  options.out_path = positional[1];
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const std::string error = parse(
      std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc > 0 ? argc - 1 : 0)),
      options);
  if (options.help) {
    std::fputs(usage, stdout);
    return done;
  }
  if (!error.empty()) {
    std::fprintf(stderr, "xm-generate: %s\n(xm-generate --help tells more)\n", error.c_str());
    return bad_command_line;
  }
  const xmwrite::Module song = song_generator::generate_song(options.seed, options.shape);
  const std::vector<std::uint8_t> bytes = xmwrite::file_bytes(song);
  std::ofstream file(options.out_path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) {
    std::fprintf(stderr, "xm-generate: cannot write %s\n", options.out_path.c_str());
    return cannot_write;
  }
  if (options.describe) std::fputs(song_generator::describe(song).c_str(), stdout);
  return done;
}
