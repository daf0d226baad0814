// Presenting a frame: every row converted into the back buffer at its pitch, then flipped to the
// front; checked against what the surface's masks say the screen must hold.
#include <cstdint>
#include <string>
#include <vector>

#include "tests/display/display_fixture.h"
#include "tests/display/screen_oracle.h"

namespace {

constexpr std::uint8_t fill = 0xA5;

struct LayoutCase {
  const char* name;
  fake::PixelFormat format;
};

std::string layout_name(const ::testing::TestParamInfo<LayoutCase>& info) {
  return info.param.name;
}

class PresentTest : public DisplayTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(PresentTest, EveryRowLandsAtItsPitchAndTheGapIsLeftAlone) {
  constexpr int width = 13;
  constexpr int height = 7;
  fake::Script script;
  script.use_pixel_format = true;
  script.pixel_format = GetParam().format;
  script.extra_pitch = 5;  // odd, so a row start off by anything shows
  script.surface_fill = fill;
  open_display(script, width, height);
  ASSERT_EQ(fake::pitch(), width * static_cast<int>(GetParam().format.bit_count / 8) + 5);

  const std::vector<std::uint32_t> frame = make_frame(width, height, 1);
  const std::vector<std::uint32_t> untouched = frame;
  const int mark = log_mark();
  EXPECT_EQ(display_update(frame.data()), 1);

  const std::vector<std::string> expected = {"PeekMessageA", "Restore", "Lock",
                                             "Unlock",       "Flip",    "Sleep(0)"};
  EXPECT_EQ(calls_from(mark), expected);
  EXPECT_TRUE(screen_shows(fake::front_buffer(), frame, width, height, fake::pitch(),
                           GetParam().format, fill));
  EXPECT_EQ(frame, untouched);
  EXPECT_FALSE(fake::held().locked);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PresentTest,
    ::testing::Values(LayoutCase{"xrgb8888", {DDPF_RGB, 32, 0xFF0000, 0x00FF00, 0x0000FF}},
                      LayoutCase{"xbgr8888", {DDPF_RGB, 32, 0x0000FF, 0x00FF00, 0xFF0000}},
                      LayoutCase{"rgb888", {DDPF_RGB, 24, 0xFF0000, 0x00FF00, 0x0000FF}},
                      LayoutCase{"bgr888", {DDPF_RGB, 24, 0x0000FF, 0x00FF00, 0xFF0000}},
                      LayoutCase{"rgb565", {DDPF_RGB, 16, 0xF800, 0x07E0, 0x001F}},
                      LayoutCase{"bgr565", {DDPF_RGB, 16, 0x001F, 0x07E0, 0xF800}},
                      LayoutCase{"rgb555", {DDPF_RGB, 16, 0x7C00, 0x03E0, 0x001F}},
                      LayoutCase{"bgr555", {DDPF_RGB, 16, 0x001F, 0x03E0, 0x7C00}}),
    layout_name);

TEST_F(DisplayTest, PresentsTheShowsOwnFrameSize) {
  fake::Script script;
  script.surface_fill = fill;
  open_display(script, 640, 400);
  const std::vector<std::uint32_t> frame = make_frame(640, 400, 2);
  ASSERT_EQ(display_update(frame.data()), 1);
  EXPECT_TRUE(screen_shows(fake::front_buffer(), frame, 640, 400, fake::pitch(), {}, fill));
}

class ChainPresentTest : public DisplayTest, public ::testing::WithParamInterface<int> {};

TEST_P(ChainPresentTest, EachFrameReachesTheFrontAfterItsFlip) {
  constexpr int width = 9;
  constexpr int height = 4;
  fake::Script script;
  script.max_back_buffers = GetParam();
  script.extra_pitch = 8;
  script.surface_fill = fill;
  open_display(script, width, height);
  ASSERT_EQ(fake::back_buffer_count(), GetParam());

  // More frames than buffers, so that every buffer of the chain comes round more than once.
  for (int index = 0; index < 7; ++index) {
    const std::vector<std::uint32_t> frame = make_frame(width, height, 100 + index);
    ASSERT_EQ(display_update(frame.data()), 1);
    EXPECT_EQ(fake::flip_count(), index + 1);
    EXPECT_TRUE(screen_shows(fake::front_buffer(), frame, width, height, fake::pitch(), {}, fill))
        << "frame " << index;
  }
}

INSTANTIATE_TEST_SUITE_P(BackBuffers, ChainPresentTest, ::testing::Values(1, 2));

// Stands in for the selected converter and notes what each row call was handed.
struct RowCall {
  const std::uint32_t* source;
  void* destination;
  std::int32_t count;
};
std::vector<RowCall> row_calls;

void note_row(const std::uint32_t* source, void* destination, std::int32_t count) {
  row_calls.push_back({source, destination, count});
}

class RowCallTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    fake::Script script;
    script.extra_pitch = 3;
    open_display(script, width, height);
    row_converter = note_row;
    row_calls.clear();
  }

  static constexpr int width = 6;
  static constexpr int height = 5;
};

TEST_F(RowCallTest, EachRowIsConvertedOnceFromItsSourceToItsPitch) {
  const std::vector<std::uint32_t> frame = make_frame(width, height, 3);
  ASSERT_EQ(display_update(frame.data()), 1);

  // The buffer that was drawn is the one now in front.
  const std::uint8_t* drawn = fake::front_buffer().data();
  ASSERT_EQ(row_calls.size(), static_cast<std::size_t>(height));
  for (int row = 0; row < height; ++row) {
    const RowCall& call = row_calls[static_cast<std::size_t>(row)];
    EXPECT_EQ(call.source, frame.data() + row * width) << row;
    EXPECT_EQ(call.destination, drawn + row * fake::pitch()) << row;
    EXPECT_EQ(call.count, width) << row;
  }
}

TEST_F(RowCallTest, AnEmptyFrameHandsNoRowToTheConverter) {
  const std::vector<std::uint32_t> frame = make_frame(width, height, 4);
  for (const auto& [frame_width, frame_height] :
       {std::pair{0, height}, std::pair{-3, height}, std::pair{width, 0}, std::pair{width, -2},
        std::pair{0, 0}}) {
    display_width = frame_width;
    display_height = frame_height;
    EXPECT_EQ(display_update(frame.data()), 1) << frame_width << " x " << frame_height;
    EXPECT_EQ(row_calls.size(), 0u) << frame_width << " x " << frame_height;
  }
}

}  // namespace
