// The command line of show-capture: what it accepts and what it turns away.
#include <gtest/gtest.h>

#include <initializer_list>

#include "tools/show_capture/capture_options.h"

namespace {

using capture_options::Parsed;

Parsed parse(std::initializer_list<const char*> arguments) {
  return capture_options::parse(std::span<const char* const>(arguments.begin(), arguments.size()));
}

std::vector<std::uint32_t> range(std::uint32_t first, std::uint32_t last) {
  std::vector<std::uint32_t> frames;
  for (std::uint32_t f = first; f <= last; ++f) frames.push_back(f);
  return frames;
}

TEST(CaptureOptions, DefaultsAreNoFramesAndTheXrgbScreen) {
  const Parsed parsed = parse({"--out", "pictures"});
  ASSERT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.output_directory, "pictures");
  EXPECT_TRUE(parsed.options.frames.empty());
  EXPECT_EQ(parsed.options.layout, emulated::Layout::xrgb8888);
  EXPECT_FALSE(parsed.options.help);
}

TEST(CaptureOptions, EveryLayoutNameSelectsItsLayoutInEitherSpelling) {
  const std::pair<const char*, emulated::Layout> names[] = {
      {"xrgb8888", emulated::Layout::xrgb8888}, {"xbgr8888", emulated::Layout::xbgr8888},
      {"rgb888", emulated::Layout::rgb888},     {"bgr888", emulated::Layout::bgr888},
      {"rgb565", emulated::Layout::rgb565},     {"bgr565", emulated::Layout::bgr565},
      {"rgb555", emulated::Layout::rgb555},     {"bgr555", emulated::Layout::bgr555},
  };
  for (const auto& [name, layout] : names) {
    Parsed parsed = parse({"--format", name, "--out", "o"});
    EXPECT_EQ(parsed.error, "") << name;
    EXPECT_EQ(parsed.options.layout, layout) << name;
    const std::string joined = std::string("--format=") + name;
    parsed = parse({"--out=o", joined.c_str()});
    EXPECT_EQ(parsed.error, "") << name;
    EXPECT_EQ(parsed.options.layout, layout) << name;
    EXPECT_EQ(parsed.options.output_directory, "o");
  }
}

TEST(CaptureOptions, FrameListsOfNumbersAndRangesComeOutAscendingAndOnce) {
  Parsed parsed = parse({"--out", "o", "--frames", "0,152,2600-2700"});
  ASSERT_EQ(parsed.error, "");
  std::vector<std::uint32_t> expected = {0, 152};
  const std::vector<std::uint32_t> bars = range(2600, 2700);
  expected.insert(expected.end(), bars.begin(), bars.end());
  EXPECT_EQ(parsed.options.frames, expected);

  parsed = parse({"--out", "o", "--frames", "5201,7,3-5,4,7-7,0"});
  ASSERT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.frames, (std::vector<std::uint32_t>{0, 3, 4, 5, 7, 5201}));

  parsed = parse({"--out", "o", "--frames", "0-5201"});
  ASSERT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.frames, range(0, 5201));

  parsed = parse({"--out", "o", "--frames", "0005"});  // leading zeros are still numbers
  ASSERT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.frames, std::vector<std::uint32_t>{5});
}

TEST(CaptureOptions, BadFrameListsAreTurnedAwayWithTheReason) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "not a frame number"},
      {"abc", "'abc' is not a frame number"},
      {"1,,2", "not a frame number"},
      {"1,", "not a frame number"},
      {",1", "not a frame number"},
      {"-3", "not a frame number"},
      {"3-", "not a frame number"},
      {"1-2-3", "'2-3' is not a frame number"},
      {"+4", "not a frame number"},
      {" 4", "not a frame number"},
      {"0x10", "not a frame number"},
      {"4.0", "not a frame number"},
      {"10-5", "runs backwards"},
      {"5202", "past the last frame, 5201"},
      {"0-5202", "past the last frame"},
      {"4294967297", "past the last frame"},
      {"99999999999999999999999", "past the last frame"},
  };
  for (const auto& [list, reason] : cases) {
    const Parsed parsed = parse({"--out", "o", "--frames", list});
    EXPECT_NE(parsed.error.find(reason), std::string::npos)
        << "'" << list << "' gave: " << parsed.error;
    EXPECT_EQ(parsed.error.rfind("--frames", 0), 0u) << parsed.error;
  }
}

TEST(CaptureOptions, BadCommandLinesAreTurnedAway) {
  const std::pair<std::vector<const char*>, const char*> cases[] = {
      {{}, "--out DIR is required"},
      {{"--frames", "1"}, "--out DIR is required"},
      {{"--out"}, "--out needs a value"},
      {{"--out", ""}, "--out needs a directory"},
      {{"--out="}, "--out needs a directory"},
      {{"--out", "o", "--frames"}, "--frames needs a value"},
      {{"--out", "o", "--format", "rgb666"}, "unknown layout 'rgb666'"},
      {{"--out", "o", "--format", "RGB565"}, "unknown layout"},
      {{"--out", "o", "--fps", "30"}, "unknown option --fps"},
      {{"-o", "dir"}, "unknown option -o"},
      {{"--out", "o", "extra"}, "unexpected argument extra"},
      {{"--out", "o", "--out", "p"}, "--out given twice"},
      {{"--out", "o", "--frames=1", "--frames", "2"}, "--frames given twice"},
  };
  for (const auto& [arguments, reason] : cases) {
    const Parsed parsed =
        capture_options::parse(std::span<const char* const>(arguments.data(), arguments.size()));
    EXPECT_NE(parsed.error.find(reason), std::string::npos)
        << "wanted '" << reason << "', got '" << parsed.error << "'";
  }
}

TEST(CaptureOptions, HelpStopsTheParsing) {
  EXPECT_TRUE(parse({"--help"}).options.help);
  EXPECT_TRUE(parse({"--help", "--bogus"}).options.help);
  EXPECT_TRUE(parse({"--out", "o", "-h"}).options.help);
  const Parsed directory = parse({"--out", "--help"});  // a directory of that name
  EXPECT_FALSE(directory.options.help);
  EXPECT_EQ(directory.options.output_directory, "--help");
}

}  // namespace
