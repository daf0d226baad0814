// The real show-capture, run in a directory holding the test assets: its pictures against the
// timeline model for every screen layout, its numbering, its exit status and its messages.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/capture/png_reader.h"
#include "tests/capture/subprocess.h"
#include "tests/show/test_assets.h"
#include "tests/show/timeline_model.h"
#include "tests/support/layout_oracle.h"

namespace {

namespace fs = std::filesystem;

const std::string executable = SHOW_CAPTURE_EXECUTABLE;

// Frames around every change of scene, the bars and the jump after them, and the last frame.
const std::vector<std::uint32_t> chosen_frames = {
    0,    1,    151,  152,  302,  452,  602,  752,  1000, 1401, 1402,
    1500, 2100, 2650, 2651, 2701, 2702, 3200, 3600, 4100, 4600, 5201,
};

std::string frame_list(const std::vector<std::uint32_t>& frames) {
  std::string list;
  for (std::uint32_t f : frames) {
    if (!list.empty()) list += ',';
    list += std::to_string(f);
  }
  return list;
}

std::string frame_name(std::uint32_t frame) {
  char name[32];
  std::snprintf(name, sizeof(name), "frame-%05u.png", static_cast<unsigned>(frame));
  return name;
}

std::set<std::string> files_in(const fs::path& directory) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// The model's picture of a presented frame, as the screen in `layout` shows it.
std::vector<std::uint32_t> expected_frame(std::uint32_t frame, emulated::Layout layout) {
  const std::uint32_t counter = timeline_model::presented_counters().at(frame);
  std::vector<std::uint32_t> picture = timeline_model::image(timeline_model::shown_at(counter));
  for (std::uint32_t& pixel : picture) pixel = layout_oracle::shown(pixel, layout);
  return picture;
}

::testing::AssertionResult picture_is(const fs::path& file,
                                      const std::vector<std::uint32_t>& expected) {
  const Picture picture = read_png(file.string());
  if (!picture.error.empty()) return ::testing::AssertionFailure() << file << ": " << picture.error;
  if (!picture.rgb8) return ::testing::AssertionFailure() << file << " is not 8-bit RGB";
  if (picture.width != 640 || picture.height != 400) {
    return ::testing::AssertionFailure()
           << file << " is " << picture.width << "x" << picture.height;
  }
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (picture.pixels[i] != expected[i]) {
      return ::testing::AssertionFailure()
             << file << " row " << i / 640 << " column " << i % 640 << ": 0x" << std::hex
             << picture.pixels[i] << " instead of 0x" << expected[i];
    }
  }
  return ::testing::AssertionSuccess();
}

class ShowCapture : public ::testing::Test {
 protected:
  void SetUp() override { directory_.write_all_assets(); }

  RunResult run(const std::vector<std::string>& arguments, bool terminal = false) {
    return run_program(executable, arguments, directory_.path(), terminal);
  }
  fs::path out() const { return directory_.path() / "out"; }

  test_assets::WorkingDirectory directory_;
};

class ShowCaptureLayouts : public ShowCapture,
                           public ::testing::WithParamInterface<layout_oracle::Entry> {};

TEST_P(ShowCaptureLayouts, ChosenFramesAreTheTimelineOnThatScreen) {
  const layout_oracle::Entry& layout = GetParam();
  const RunResult result =
      run({"--out", "out", "--frames", frame_list(chosen_frames), "--format", layout.name});
  ASSERT_EQ(result.exit_status, 0) << result.error_output;
  EXPECT_EQ(result.error_output, "");  // no progress line off a terminal

  std::set<std::string> expected_files;
  for (std::uint32_t f : chosen_frames) expected_files.insert(frame_name(f));
  EXPECT_EQ(files_in(out()), expected_files);
  for (std::uint32_t f : chosen_frames) {
    EXPECT_TRUE(picture_is(out() / frame_name(f), expected_frame(f, layout.layout)))
        << "frame " << f;
  }
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, ShowCaptureLayouts,
                         ::testing::ValuesIn(layout_oracle::entries()),
                         [](const auto& layout_param) {
                           return std::string(layout_param.param.name);
                         });

TEST_F(ShowCapture, WithoutFramesNothingIsWrittenAndTheShowEndsWithZero) {
  const RunResult result = run({"--out", "out"});
  EXPECT_EQ(result.exit_status, 0) << result.error_output;
  EXPECT_EQ(result.error_output, "");
  ASSERT_TRUE(fs::is_directory(out()));
  EXPECT_TRUE(files_in(out()).empty());
}

TEST_F(ShowCapture, AMissingPictureIsBlackButTheCaptureRunsOn) {
  fs::remove(directory_.path() / test_assets::picture_names[0]);  // the logo
  const RunResult result = run({"--out", "out", "--frames", "1,152,452"});
  ASSERT_EQ(result.exit_status, 0) << result.error_output;

  const std::vector<std::uint32_t> black(640 * 400, 0u);
  EXPECT_TRUE(picture_is(out() / frame_name(1), black));
  // The caption is drawn over the missing logo: its glyph cells alone carry anything.
  std::vector<std::uint32_t> caption_only = expected_frame(152, emulated::Layout::xrgb8888);
  for (std::size_t i = 0; i < caption_only.size(); ++i) {
    const std::size_t row = i / 640;
    const std::size_t column = i % 640;
    if (row < 300 || row >= 316 || column < 180 || column >= 500) caption_only[i] = 0;
  }
  EXPECT_TRUE(picture_is(out() / frame_name(152), caption_only));
  EXPECT_TRUE(picture_is(out() / frame_name(452), expected_frame(452, emulated::Layout::xrgb8888)));
}

TEST_F(ShowCapture, BadCommandLinesEndWithTwoAndAMessageBeforeAnythingRuns) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "--out DIR is required"},
      {{"--out", "out", "--frames", "5202"}, "past the last frame"},
      {{"--out", "out", "--frames", "9-3"}, "runs backwards"},
      {{"--out", "out", "--frames", "one"}, "not a frame number"},
      {{"--out", "out", "--format", "rgb332"}, "unknown layout 'rgb332'"},
      {{"--out", "out", "--speed", "2"}, "unknown option --speed"},
  };
  for (const auto& [arguments, message] : cases) {
    const RunResult result = run(arguments);
    EXPECT_EQ(result.exit_status, 2) << message;
    EXPECT_NE(result.error_output.find(message), std::string::npos) << result.error_output;
    EXPECT_EQ(result.error_output.rfind("show-capture: ", 0), 0u) << result.error_output;
    EXPECT_FALSE(fs::exists(out())) << message;
  }

  test_assets::write_file(directory_.path() / "file", {1, 2, 3});
  const RunResult result = run({"--out", "file/pictures", "--frames", "0"});
  EXPECT_EQ(result.exit_status, 2);
  EXPECT_NE(result.error_output.find("cannot create the output directory file/pictures"),
            std::string::npos)
      << result.error_output;
}

TEST_F(ShowCapture, HelpIsPrintedAndEndsWithZero) {
  const RunResult result = run({"--help"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_FALSE(fs::exists(out()));
}

TEST_F(ShowCapture, OnATerminalAProgressLineCountsTheFramesToTheEnd) {
  const RunResult result = run({"--out", "out", "--frames", "10,20"}, true);
  ASSERT_EQ(result.exit_status, 0) << result.error_output;
  EXPECT_NE(result.error_output.find("\rframe 11 of 5202, 1 written"), std::string::npos);
  EXPECT_NE(result.error_output.find("\rframe 5202 of 5202, 2 written"), std::string::npos)
      << result.error_output.substr(
             result.error_output.size() > 200 ? result.error_output.size() - 200 : 0);
  EXPECT_EQ(files_in(out()), (std::set<std::string>{frame_name(10), frame_name(20)}));
}

}  // namespace
