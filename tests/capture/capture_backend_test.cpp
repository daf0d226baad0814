// The capture backend on its own: frame numbering, which frames become files, what the files hold,
// and how it activates the window, sleeps and ends the process.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <vector>

#include "platform/capture/capture_platform.h"
#include "tests/capture/png_reader.h"
#include "tests/support/layout_oracle.h"

namespace {

namespace fs = std::filesystem;

// A temporary directory, removed again at the end.
class TemporaryDirectory {
 public:
  TemporaryDirectory() {
    std::string pattern = (fs::temp_directory_path() / "capture-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~TemporaryDirectory() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::set<std::string> files_in(const fs::path& directory) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// A screen buffer in `layout`: each pixel's channels from its own 0x00RRGGBB value, every bit
// outside the channels set, and padding bytes after each row.
struct ScreenBuffer {
  int width;
  int height;
  LONG pitch;
  std::vector<std::uint32_t> source;
  std::vector<std::uint8_t> bytes;
};

ScreenBuffer make_screen(emulated::Layout layout, int width, int height, std::uint32_t seed) {
  const layout_oracle::Entry& e = layout_oracle::entry(layout);
  ScreenBuffer screen{width, height, width * e.bytes + 5, {}, {}};
  screen.bytes.assign(static_cast<std::size_t>(screen.pitch * height), 0xEE);
  const std::uint32_t channels =
      layout_oracle::mask(e.red) | layout_oracle::mask(e.green) | layout_oracle::mask(e.blue);
  const std::uint32_t spare = (e.bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * e.bytes)) - 1u) & ~channels;
  std::uint32_t state = seed * 2654435761u + 7;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      state ^= state << 13;
      state ^= state >> 17;
      state ^= state << 5;
      const std::uint32_t pixel = state & 0xFFFFFF;
      screen.source.push_back(pixel);
      auto place = [](std::uint32_t value8, layout_oracle::Channel c) {
        return (value8 >> (8 - c.width)) << c.shift;
      };
      const std::uint32_t value = place(pixel >> 16 & 0xFF, e.red) |
                                  place(pixel >> 8 & 0xFF, e.green) | place(pixel & 0xFF, e.blue) |
                                  spare;
      for (int b = 0; b < e.bytes; ++b) {
        screen.bytes[static_cast<std::size_t>(y * screen.pitch + x * e.bytes + b)] =
            static_cast<std::uint8_t>(value >> (8 * b));
      }
    }
  }
  return screen;
}

emulated::Frame frame_of(const ScreenBuffer& screen, emulated::Layout layout) {
  return {screen.bytes.data(), screen.width, screen.height, screen.pitch, layout};
}

TEST(CaptureBackend, KeptFramesAreWrittenUnderTheirNumbersWithTheirPixels) {
  for (const layout_oracle::Entry& e : layout_oracle::entries()) {
    SCOPED_TRACE(e.name);
    TemporaryDirectory directory;
    capture::Settings settings;
    settings.output_directory = directory.path();
    settings.kept_frames = {9, 3, 1, 1, 0};
    settings.layout = e.layout;
    capture::CaptureBackend backend(settings);
    constexpr int width = 13;
    constexpr int height = 6;
    backend.display_mode(width, height, e.layout);

    std::vector<ScreenBuffer> screens;
    for (std::uint32_t n = 0; n < 6; ++n) {
      screens.push_back(make_screen(e.layout, width, height, n));
      backend.present(frame_of(screens.back(), e.layout));
    }
    EXPECT_EQ(backend.frames_presented(), 6u);
    EXPECT_EQ(backend.frames_written(), 3u);
    EXPECT_EQ(files_in(directory.path()),
              (std::set<std::string>{"frame-00000.png", "frame-00001.png", "frame-00003.png"}));

    for (std::uint32_t n : {0u, 1u, 3u}) {
      const Picture picture = read_png(backend.frame_path(n).string());
      ASSERT_EQ(picture.error, "") << n;
      EXPECT_TRUE(picture.rgb8);
      ASSERT_EQ(picture.width, width);
      ASSERT_EQ(picture.height, height);
      for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        ASSERT_EQ(picture.pixels[i], layout_oracle::shown(screens[n].source[i], e.layout))
            << "frame " << n << " pixel " << i;
      }
    }
  }
}

TEST(CaptureBackend, FrameFilesHaveFiveDigitNumbers) {
  capture::Settings settings;
  settings.output_directory = "out";
  const capture::CaptureBackend backend(settings);
  EXPECT_EQ(backend.frame_path(0), fs::path("out/frame-00000.png"));
  EXPECT_EQ(backend.frame_path(152), fs::path("out/frame-00152.png"));
  EXPECT_EQ(backend.frame_path(5201), fs::path("out/frame-05201.png"));
}

std::vector<std::pair<UINT, WPARAM>>& window_messages() {
  static std::vector<std::pair<UINT, WPARAM>> messages;
  return messages;
}

LRESULT WINAPI record_messages(HWND, UINT message, WPARAM wparam, LPARAM) {
  window_messages().emplace_back(message, wparam);
  return 0;
}

// Installed as the platform: the window that takes the screen is told at once that it is active.
TEST(CapturePlatform, TakingTheScreenActivatesTheWindowAndOnlyTheChosenLayoutIsOffered) {
  capture::Settings settings;
  settings.layout = emulated::Layout::bgr565;
  capture::install(settings);
  window_messages().clear();
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = record_messages;
  window_class.lpszClassName = "capture";
  RegisterClassA(&window_class);
  const HWND window =
      CreateWindowExA(0, "capture", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  IDirectDraw* direct_draw = nullptr;
  ASSERT_EQ(DirectDrawCreate(nullptr, &direct_draw, nullptr), DD_OK);
  ASSERT_EQ(direct_draw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  EXPECT_EQ(window_messages(), (std::vector<std::pair<UINT, WPARAM>>{{WM_ACTIVATEAPP, 1}}));
  EXPECT_EQ(direct_draw->SetDisplayMode(640, 400, 32), DDERR_INVALIDMODE);
  EXPECT_EQ(direct_draw->SetDisplayMode(640, 400, 24), DDERR_INVALIDMODE);
  EXPECT_EQ(direct_draw->SetDisplayMode(640, 400, 16), DD_OK);
  direct_draw->Release();
}

TEST(CapturePlatform, SleepReturnsAtOnceAndTheScreenSaverIsAStoredSwitch) {
  capture::install(capture::Settings{});
  Sleep(0xFFFFFFFFu);  // "forever": a real sleep would never let this test finish
  BOOL active = FALSE;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0));
  EXPECT_EQ(active, TRUE);
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 0, nullptr, 0));
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0));
  EXPECT_EQ(active, FALSE);
}

TEST(CapturePlatformDeathTest, ExitProcessEndsTheProgressLineAndExitsWithTheCode) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        capture::Settings settings;
        settings.progress = stderr;
        settings.expected_frames = 10;
        capture::install(settings);
        ExitProcess(5);
      },
      ::testing::ExitedWithCode(5), "\rframe 0 of 10, 0 written\n$");
  EXPECT_EXIT(
      {
        capture::install(capture::Settings{});
        ExitProcess(0);
      },
      ::testing::ExitedWithCode(0), "^$");
}

TEST(CapturePlatformDeathTest, AFrameThatCannotBeWrittenStopsTheCapture) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TemporaryDirectory directory;
  capture::Settings settings;
  settings.output_directory = directory.path() / "missing";
  settings.kept_frames = {1};
  capture::CaptureBackend backend(settings);
  const ScreenBuffer screen = make_screen(emulated::Layout::xrgb8888, 4, 4, 1);
  backend.present(frame_of(screen, emulated::Layout::xrgb8888));  // frame 0 is not kept
  EXPECT_EXIT(backend.present(frame_of(screen, emulated::Layout::xrgb8888)),
              ::testing::ExitedWithCode(capture::write_failure_status),
              "cannot write .*missing/frame-00001.png");
}

}  // namespace
