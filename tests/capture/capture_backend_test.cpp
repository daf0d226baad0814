// The capture backend when a frame it keeps cannot be written: the capture ends there, with its
// own status and the file named. (What the files hold is checked on the real program's output.)
#include <gtest/gtest.h>

#include <vector>

#include "platform/capture/capture_platform.h"
#include "tests/show/test_assets.h"

namespace {

TEST(CaptureBackendDeathTest, AFrameThatCannotBeWrittenEndsTheCaptureWithFour) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  test_assets::WorkingDirectory directory;
  capture::Settings settings;
  settings.output_directory = "missing";
  settings.kept_frames = {1};
  const std::vector<std::uint8_t> screen(16, 0);
  const emulated::Frame frame = {screen.data(), 2, 2, 8, emulated::Layout::xrgb8888};
  EXPECT_EXIT(
      {
        capture::CaptureBackend backend(settings);
        backend.present(frame);  // frame 0, not kept
        backend.present(frame);
      },
      ::testing::ExitedWithCode(capture::write_failure_status),
      "^cannot write missing/frame-00001.png: ");
}

}  // namespace
