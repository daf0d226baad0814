// The command line of show-capture: what it makes of good ones, and the reason it gives for bad
// ones.
#include "tools/show_capture/capture_options.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using emulated::Layout;

struct Case {
  std::vector<const char*> arguments;
  const char* error;  // words the refusal holds; null for a good command line
  std::vector<std::uint32_t> frames = {};
  Layout layout = Layout::xrgb8888;
  const char* out = "o";
  bool help = false;
};

const Case cases[] = {
    {{"--out", "o"}, nullptr},
    {{"--format", "rgb888", "--out", "o"}, nullptr, {}, Layout::rgb888},
    {{"--out=o", "--format=bgr555"}, nullptr, {}, Layout::bgr555},
    {{"--out", "o", "--frames", "5201,7,3-5,4,7-7,0"}, nullptr, {0, 3, 4, 5, 7, 5201}},
    {{"--help", "--bogus"}, nullptr, {}, Layout::xrgb8888, "", true},
    {{"--out", "--help"}, nullptr, {}, Layout::xrgb8888, "--help"},
    {{}, "--out DIR, --wav FILE or --video FILE is required"},
    {{"--wav", "a.wav", "--frames", "3"}, "--frames needs --out DIR"},
    {{"--out", "o", "--lossless"}, "--lossless and --scale need --video FILE"},
    {{"--video", "v.mkv", "--scale", "9"}, "--scale takes a whole number from 1 to 8, not '9'"},
    {{"--video", "v.mkv", "--scale=0"}, "not '0'"},
    {{"--video="}, "--video needs a file name"},
    {{"--video", "v.mp4", "--wav", "a.wav"}, "--wav and --video cannot be given together"},
    {{"--out"}, "--out needs a value"},
    {{"--out="}, "--out needs a directory"},
    {{"--out", "o", "--format", "RGB565"}, "unknown layout 'RGB565' for --format"},
    {{"--out", "o", "--fps", "30"}, "unknown option --fps"},
    {{"--out", "o", "extra"}, "unexpected argument extra"},
    {{"--out", "o", "--out", "p"}, "--out given twice"},
    {{"--out", "o", "--frames", "-1"}, "--frames: '-1' is not a frame number"},
    {{"--out", "o", "--frames", "1-2-3"}, "--frames: '2-3' is not"},
    {{"--out", "o", "--frames", "10-5"}, "--frames: range 10-5 runs backwards"},
    {{"--out", "o", "--frames", "5202"}, "--frames: '5202' is past the last frame, 5201"},
    {{"--out", "o", "--frames", "4294967297"}, "past the last frame"}};

TEST(CaptureOptions, EachCommandLineGivesItsOptionsOrItsReason) {
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    const capture_options::Parsed parsed = capture_options::parse(c.arguments);
    const capture_options::Options& o = parsed.options;
    if (c.error != nullptr) {
      EXPECT_NE(parsed.error.find(c.error), std::string::npos) << parsed.error;
    } else {  // --help ends the reading, leaving the rest as it was
      EXPECT_EQ(std::tuple(parsed.error, o.help, o.output_directory, o.frames, o.layout),
                std::tuple("", c.help, c.out, c.frames, c.layout));
    }
  }
}

}  // namespace
