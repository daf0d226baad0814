// Opening the display: the order of the platform calls, what is handed to them, and the choices
// made among what the screen offers (depth, flipping chain, converter).
#include <cstring>
#include <string>
#include <vector>

#include "display/pixel_converters.h"
#include "tests/display/display_fixture.h"

namespace {

using OpenTest = DisplayTest;

TEST_F(OpenTest, TakesTheScreenStepByStep) {
  fake::reset();
  ASSERT_EQ(display_open("test", 640, 400), 1);

  const std::vector<std::string> expected = {
      "LoadLibraryA(ddraw.dll)",    "GetProcAddress(DirectDrawCreate)",
      "DirectDrawCreate",           "RegisterClassA(test)",
      "CreateWindowExA(test)",      "SetCooperativeLevel(17)",
      "WndProc(WM_ACTIVATEAPP,1)",  // sent by the platform as the window takes the screen
      "SetDisplayMode(640,400,32)", "CreateSurface(2)",
      "GetAttachedSurface",         "GetPixelFormat",
      "SystemParametersInfoA(16)",  "SystemParametersInfoA(17,0)",
  };
  EXPECT_EQ(fake::calls(), expected);

  const fake::Held held = fake::held();
  EXPECT_TRUE(held.library && held.direct_draw && held.window && held.exclusive);
  EXPECT_TRUE(held.mode_switched);
  EXPECT_EQ(held.surfaces, 3);
  EXPECT_FALSE(held.locked);
  EXPECT_EQ(fake::display_depth(), 32u);
  EXPECT_EQ(fake::screen_saver_active(), FALSE);

  EXPECT_EQ(display_width, 640);
  EXPECT_EQ(display_height, 400);
  EXPECT_NE(ddraw_library, nullptr);
  EXPECT_NE(direct_draw, nullptr);
  EXPECT_EQ(display_window, fake::window_handle());
  EXPECT_NE(primary_surface, nullptr);
  EXPECT_NE(back_buffer, nullptr);
  EXPECT_NE(back_buffer, primary_surface);
  EXPECT_EQ(row_converter, &convert_row_xrgb8888);
  EXPECT_NE(display_active, 0);
}

TEST_F(OpenTest, RegistersAndCreatesAHiddenPopupNamedByTheTitle) {
  const char title[] = "the show";
  fake::reset();
  ASSERT_EQ(display_open(title, 320, 200), 1);

  const WNDCLASSA& window_class = fake::registered_class();
  EXPECT_EQ(window_class.style, 0u);
  EXPECT_EQ(window_class.lpfnWndProc, &display_window_proc);
  EXPECT_EQ(window_class.cbClsExtra, 0);
  EXPECT_EQ(window_class.cbWndExtra, 0);
  EXPECT_EQ(window_class.hInstance, nullptr);
  EXPECT_EQ(window_class.hIcon, nullptr);
  EXPECT_EQ(window_class.hCursor, nullptr);
  EXPECT_EQ(window_class.hbrBackground, nullptr);
  EXPECT_EQ(window_class.lpszMenuName, nullptr);
  ASSERT_NE(window_class.lpszClassName, nullptr);
  EXPECT_STREQ(window_class.lpszClassName, title);

  const fake::WindowArguments& window = fake::window_arguments();
  EXPECT_EQ(window.ex_style, 0u);
  EXPECT_EQ(window.class_name, title);
  EXPECT_EQ(window.window_name, title);
  EXPECT_EQ(window.style, WS_POPUP);  // not visible, no frame
  EXPECT_EQ(window.x, 0);
  EXPECT_EQ(window.y, 0);
  EXPECT_EQ(window.width, 0);
  EXPECT_EQ(window.height, 0);
  EXPECT_EQ(window.parent, nullptr);
  EXPECT_EQ(window.menu, nullptr);
  EXPECT_EQ(window.instance, nullptr);
  EXPECT_EQ(window.param, nullptr);
  EXPECT_EQ(fake::window_procedure(), &display_window_proc);
  EXPECT_EQ(fake::find_call("SetDisplayMode(320,200,32)"), fake::find_call("SetDisplayMode"));
}

TEST_F(OpenTest, AClassThatCannotBeRegisteredAgainStillOpens) {
  fake::Script script;
  script.fail_register_class = true;
  fake::reset(script);
  EXPECT_EQ(display_open("test", 640, 400), 1);
  EXPECT_TRUE(fake::held().window);
}

TEST_F(OpenTest, UntilTheApplicationIsActivatedNothingIsActive) {
  fake::Script script;
  script.activate_on_exclusive = false;
  open_display(script, 640, 400);
  EXPECT_EQ(display_active, 0);
}

struct DepthCase {
  std::vector<DWORD> accepted;
  std::vector<std::string> tried;
  DWORD chosen;  // 0: the display cannot be opened
};

class DepthTest : public DisplayTest, public ::testing::WithParamInterface<DepthCase> {};

TEST_P(DepthTest, TakesTheFirstOf32_24_16ThatTheScreenAccepts) {
  const DepthCase& param = GetParam();
  fake::Script script;
  script.accepted_depths = param.accepted;
  fake::reset(script);

  EXPECT_EQ(display_open("test", 640, 400), param.chosen != 0 ? 1 : 0);

  std::vector<std::string> tried;
  for (const std::string& call : fake::calls()) {
    if (call.rfind("SetDisplayMode", 0) == 0) tried.push_back(call);
  }
  EXPECT_EQ(tried, param.tried);
  EXPECT_EQ(fake::display_depth(), param.chosen);
  if (param.chosen != 0) {
    EXPECT_EQ(fake::find_call("CreateSurface"), fake::find_call(tried.back()) + 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Depths, DepthTest,
    ::testing::Values(
        DepthCase{{32, 24, 16}, {"SetDisplayMode(640,400,32)"}, 32},
        DepthCase{{16, 24}, {"SetDisplayMode(640,400,32)", "SetDisplayMode(640,400,24)"}, 24},
        DepthCase{{16},
                  {"SetDisplayMode(640,400,32)", "SetDisplayMode(640,400,24)",
                   "SetDisplayMode(640,400,16)"},
                  16},
        DepthCase{{8, 15},
                  {"SetDisplayMode(640,400,32)", "SetDisplayMode(640,400,24)",
                   "SetDisplayMode(640,400,16)"},
                  0},
        DepthCase{{},
                  {"SetDisplayMode(640,400,32)", "SetDisplayMode(640,400,24)",
                   "SetDisplayMode(640,400,16)"},
                  0}));

struct ChainCase {
  int offered;
  std::vector<std::string> requests;
  int back_buffers;  // 0: the display cannot be opened
};

class ChainTest : public DisplayTest, public ::testing::WithParamInterface<ChainCase> {};

TEST_P(ChainTest, AsksForTwoBackBuffersThenOne) {
  const ChainCase& param = GetParam();
  fake::Script script;
  script.max_back_buffers = param.offered;
  fake::reset(script);

  EXPECT_EQ(display_open("test", 640, 400), param.back_buffers != 0 ? 1 : 0);

  std::vector<std::string> requests;
  for (const std::string& call : fake::calls()) {
    if (call.rfind("CreateSurface", 0) == 0) requests.push_back(call);
  }
  EXPECT_EQ(requests, param.requests);  // never a lone primary, which could not be presented on
  if (param.back_buffers != 0) {
    EXPECT_EQ(fake::back_buffer_count(), param.back_buffers);
    EXPECT_EQ(fake::held().surfaces, param.back_buffers + 1);
  } else {
    EXPECT_TRUE(fake::nothing_held());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Chains, ChainTest,
    ::testing::Values(ChainCase{2, {"CreateSurface(2)"}, 2},
                      ChainCase{1, {"CreateSurface(2)", "CreateSurface(1)"}, 1},
                      ChainCase{0, {"CreateSurface(2)", "CreateSurface(1)"}, 0}));

struct FormatCase {
  const char* name;
  fake::PixelFormat format;
  PixelConverter converter;
};

std::string format_name(const ::testing::TestParamInfo<FormatCase>& info) {
  return info.param.name;
}

class ConverterChoiceTest : public DisplayTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(ConverterChoiceTest, PicksTheConverterForTheScreenFormat) {
  fake::Script script;
  script.use_pixel_format = true;
  script.pixel_format = GetParam().format;
  script.accepted_depths = {GetParam().format.bit_count};
  open_display(script, 640, 400);
  EXPECT_EQ(row_converter, GetParam().converter);
  EXPECT_EQ(fake::display_depth(), GetParam().format.bit_count);
}

// Each layout by its masks: red first means red in the high bits.
INSTANTIATE_TEST_SUITE_P(
    Formats, ConverterChoiceTest,
    ::testing::Values(
        FormatCase{"xrgb8888", {DDPF_RGB, 32, 0xFF0000, 0x00FF00, 0x0000FF}, convert_row_xrgb8888},
        FormatCase{"xbgr8888", {DDPF_RGB, 32, 0x0000FF, 0x00FF00, 0xFF0000}, convert_row_xbgr8888},
        FormatCase{"rgb888", {DDPF_RGB, 24, 0xFF0000, 0x00FF00, 0x0000FF}, convert_row_rgb888},
        FormatCase{"bgr888", {DDPF_RGB, 24, 0x0000FF, 0x00FF00, 0xFF0000}, convert_row_bgr888},
        FormatCase{"rgb565", {DDPF_RGB, 16, 0xF800, 0x07E0, 0x001F}, convert_row_rgb565},
        FormatCase{"bgr565", {DDPF_RGB, 16, 0x001F, 0x07E0, 0xF800}, convert_row_bgr565},
        FormatCase{"rgb555", {DDPF_RGB, 16, 0x7C00, 0x03E0, 0x001F}, convert_row_rgb555},
        FormatCase{"bgr555", {DDPF_RGB, 16, 0x001F, 0x03E0, 0x7C00}, convert_row_bgr555}),
    format_name);

class UnusableFormatTest : public DisplayTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(UnusableFormatTest, FailsAfterTheModeSwitchAndGivesEverythingBack) {
  fake::Script script;
  script.use_pixel_format = true;
  script.pixel_format = GetParam().format;
  fake::reset(script);

  EXPECT_EQ(display_open("test", 640, 400), 0);

  const int format_read = fake::find_call("GetPixelFormat");
  ASSERT_GE(format_read, 0);
  EXPECT_LT(fake::find_call("SetDisplayMode(640,400,32)"), format_read);
  const std::vector<std::string> given_back = {"Release(surface)",       "RestoreDisplayMode",
                                               "SetCooperativeLevel(8)", "Release(ddraw)",
                                               "DestroyWindow",          "FreeLibrary"};
  EXPECT_EQ(calls_from(format_read + 1), given_back);
  EXPECT_TRUE(fake::nothing_held());
  EXPECT_EQ(row_converter, nullptr);
  EXPECT_EQ(fake::screen_saver_active(), TRUE);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, UnusableFormatTest,
    ::testing::Values(
        FormatCase{"not_rgb", {0, 32, 0xFF0000, 0x00FF00, 0x0000FF}, nullptr},
        FormatCase{"palette_8", {DDPF_RGB, 8, 0, 0, 0}, nullptr},
        FormatCase{"rgb_15", {DDPF_RGB, 15, 0x7C00, 0x03E0, 0x001F}, nullptr},
        FormatCase{"rgb565_as_32", {DDPF_RGB, 32, 0xF800, 0x07E0, 0x001F}, nullptr},
        FormatCase{"rgb444", {DDPF_RGB, 16, 0x0F00, 0x00F0, 0x000F}, nullptr},
        FormatCase{"blue_off_by_one", {DDPF_RGB, 32, 0xFF0000, 0x00FF00, 0x0001FE}, nullptr},
        FormatCase{
            "rgb888_as_32_swapped_green", {DDPF_RGB, 24, 0xFF0000, 0x0000FF, 0x00FF00}, nullptr}),
    format_name);

}  // namespace
