// The real show-capture on a terminal, in a directory holding the test assets: its pictures against
// the timeline model as the chosen screen shows it, its progress line, and its exit statuses.
#include <png.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <bit>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/show/test_assets.h"
#include "tests/show/timeline_model.h"
#include "tests/support/layout_oracle.h"

namespace {

using emulated::Layout;

// Runs show-capture in the current directory on a pseudo-terminal of its own, as when run by hand:
// its exit status (-1 when it did not exit) and all it wrote.
std::pair<int, std::string> run(std::vector<std::string> arguments) {
  std::vector<char*> argv = {const_cast<char*>(SHOW_CAPTURE_EXECUTABLE)};
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child == 0) _exit(execv(argv[0], argv.data()));
  std::string output;
  char buffer[4096];
  for (ssize_t got; child > 0 && (got = read(terminal, buffer, sizeof(buffer))) > 0;) {
    output.append(buffer, static_cast<std::size_t>(got));
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return {-1, output};
  return {WEXITSTATUS(status), output};
}

// A PNG file's pixels as 0x00RRGGBB, top row first; none when it cannot be read.
std::vector<std::uint32_t> read_png(const char* path) {
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path) == 0) return {};
  // Bytes in the order that makes 0xAARRGGBB words on this machine.
  image.format = std::endian::native == std::endian::little ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
  std::vector<std::uint32_t> pixels(PNG_IMAGE_SIZE(image) / 4);
  if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) return {};
  for (std::uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
  return pixels;
}

class ShowCapture : public ::testing::Test {
 protected:
  void SetUp() override { directory_.write_all_assets(); }
  test_assets::WorkingDirectory directory_;
};

TEST_F(ShowCapture, ChosenFramesAreTheTimelineAsTheChosenScreenShowsIt) {
  // Frames around every change of scene, the bars and the jump after them, and the last frame.
  const std::string list =
      "0,1,151,152,302,452,602,752,1000,1401,1402,1500,2100,2650,2651,2701,2702,3200,3600,4100,"
      "4600,5201";
  // A 16-bit screen shows only if the display is offered nothing else.
  const auto [status, output] = run({"--out", "out", "--frames", list, "--format", "bgr565"});
  ASSERT_EQ(status, 0) << output;
  // Every presented frame counted on the progress line, which ends with the run.
  EXPECT_NE(output.find("\rframe 5202 of 5202, 22 written\r\n"), std::string::npos);

  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("out"), {}), 22);
  const std::vector<std::uint32_t> counters = timeline_model::presented_counters();
  std::istringstream frames(list);
  for (std::string f; std::getline(frames, f, ',');) {
    std::vector<std::uint32_t> expected =
        timeline_model::image(timeline_model::shown_at(counters.at(std::stoul(f))));
    for (std::uint32_t& pixel : expected) pixel = layout_oracle::shown(pixel, Layout::bgr565);
    const std::string name = "out/frame-" + std::string(5 - f.size(), '0') + f + ".png";
    EXPECT_TRUE(read_png(name.c_str()) == expected) << name;
  }
}

// A bad command line ends with 2, an output directory that cannot be made with 4.
TEST_F(ShowCapture, WhatStopsItBeforeTheShowStartsIsNamedWithItsStatus) {
  test_assets::write_file("file", {1});
  const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
      {{"--out", "out", "--frames", "9-3"}, 2, "show-capture: --frames: range 9-3 runs backwards"},
      {{"--out", "file/out"}, 4, "show-capture: cannot create the output directory file/out"},
      {{"--help", "--out", "out"}, 0, "usage: show-capture [--out DIR"}};
  for (const auto& [arguments, expected_status, opening] : cases) {
    const auto [status, output] = run(arguments);
    EXPECT_EQ(std::pair(status, output.substr(0, opening.size())),
              std::pair(expected_status, opening))
        << output;
  }
  EXPECT_FALSE(std::filesystem::exists("out"));
}

// A frame goes in under a temporary name and is renamed into place: a link standing at its path is
// replaced, not written through, and a frame that cannot be put in place ends the capture with 4,
// leaves what stood there as it was, and no partial file.
TEST_F(ShowCapture, AFrameNeverWritesThroughOrOverWhatStandsAtItsPath) {
  std::filesystem::create_directories("out/frame-00003.png");
  test_assets::write_file("out/frame-00003.png/kept", {7});
  test_assets::write_file("kept", {1, 2, 3});
  std::filesystem::create_symlink("../kept", "out/frame-00002.png");

  const auto [status, output] = run({"--out", "out", "--frames", "2,3"});
  EXPECT_EQ(status, 4);
  EXPECT_NE(output.find("cannot write out/frame-00003.png: Is a directory"), std::string::npos)
      << output;
  EXPECT_FALSE(std::filesystem::is_symlink("out/frame-00002.png"));
  EXPECT_FALSE(read_png("out/frame-00002.png").empty());
  EXPECT_EQ(std::filesystem::file_size("kept"), 3u);
  EXPECT_TRUE(std::filesystem::exists("out/frame-00003.png/kept"));
  for (const auto& entry : std::filesystem::directory_iterator("out")) {
    EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
  }
}

}  // namespace
