// A display that cannot be opened gives back everything it took on the way, newest first, leaves
// the desktop's mode and the screen-saver switch as they were, and can be opened again afterwards.
#include <functional>
#include <string>
#include <vector>

#include "tests/display/display_fixture.h"

namespace {

struct FailureCase {
  const char* name;
  std::function<void(fake::Script&)> arrange;
  std::vector<std::string> calls;  // everything the failed open does, giving back included
};

std::string case_name(const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; }

std::vector<std::string> joined(std::vector<std::string> first,
                                const std::vector<std::string>& then) {
  first.insert(first.end(), then.begin(), then.end());
  return first;
}

const std::vector<std::string> up_to_window = {
    "LoadLibraryA(ddraw.dll)", "GetProcAddress(DirectDrawCreate)",
    "DirectDrawCreate",        "RegisterClassA(test)",
    "CreateWindowExA(test)",
};
const std::vector<std::string> up_to_mode =
    joined(up_to_window,
           {"SetCooperativeLevel(17)", "WndProc(WM_ACTIVATEAPP,1)", "SetDisplayMode(640,400,32)"});
const std::vector<std::string> up_to_surface = joined(up_to_mode, {"CreateSurface(2)"});
const std::vector<std::string> give_back_all = {"Release(surface)",       "RestoreDisplayMode",
                                                "SetCooperativeLevel(8)", "Release(ddraw)",
                                                "DestroyWindow",          "FreeLibrary"};

class OpenFailureTest : public DisplayTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(OpenFailureTest, ReturnsZeroAndLeavesNothingHeld) {
  fake::Script script;
  GetParam().arrange(script);
  fake::reset(script);

  EXPECT_EQ(display_open("test", 640, 400), 0);

  EXPECT_EQ(fake::calls(), GetParam().calls);
  EXPECT_TRUE(fake::nothing_held());
  EXPECT_EQ(fake::display_depth(), 0u);
  EXPECT_EQ(fake::screen_saver_active(), TRUE);  // never touched
  EXPECT_EQ(ddraw_library, nullptr);
  EXPECT_EQ(direct_draw, nullptr);
  EXPECT_EQ(display_window, nullptr);
  EXPECT_EQ(primary_surface, nullptr);
  EXPECT_EQ(back_buffer, nullptr);
  EXPECT_EQ(row_converter, nullptr);
  EXPECT_EQ(display_active, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, OpenFailureTest,
    ::testing::Values(
        FailureCase{"LoadLibrary",
                    [](fake::Script& s) { s.fail_load_library = true; },
                    {"LoadLibraryA(ddraw.dll)"}},
        FailureCase{"GetProcAddress",
                    [](fake::Script& s) { s.fail_get_proc_address = true; },
                    {"LoadLibraryA(ddraw.dll)", "GetProcAddress(DirectDrawCreate)", "FreeLibrary"}},
        FailureCase{"DirectDrawCreate",
                    [](fake::Script& s) { s.fail_direct_draw_create = true; },
                    {"LoadLibraryA(ddraw.dll)", "GetProcAddress(DirectDrawCreate)",
                     "DirectDrawCreate", "FreeLibrary"}},
        // No window: exclusive mode cannot be taken for it.
        FailureCase{
            "CreateWindow", [](fake::Script& s) { s.fail_create_window = true; },
            joined(up_to_window, {"SetCooperativeLevel(17)", "Release(ddraw)", "FreeLibrary"})},
        FailureCase{
            "SetCooperativeLevel", [](fake::Script& s) { s.fail_set_cooperative_level = true; },
            joined(up_to_window,
                   {"SetCooperativeLevel(17)", "Release(ddraw)", "DestroyWindow", "FreeLibrary"})},
        FailureCase{"SetDisplayMode", [](fake::Script& s) { s.accepted_depths = {}; },
                    joined(up_to_mode, {"SetDisplayMode(640,400,24)", "SetDisplayMode(640,400,16)",
                                        "SetCooperativeLevel(8)", "Release(ddraw)", "DestroyWindow",
                                        "FreeLibrary"})},
        FailureCase{"CreateSurface", [](fake::Script& s) { s.max_back_buffers = 0; },
                    joined(up_to_surface,
                           {"CreateSurface(1)", "RestoreDisplayMode", "SetCooperativeLevel(8)",
                            "Release(ddraw)", "DestroyWindow", "FreeLibrary"})},
        FailureCase{"GetAttachedSurface",
                    [](fake::Script& s) { s.fail_get_attached_surface = true; },
                    joined(joined(up_to_surface, {"GetAttachedSurface"}), give_back_all)},
        FailureCase{
            "GetPixelFormat", [](fake::Script& s) { s.fail_get_pixel_format = true; },
            joined(joined(up_to_surface, {"GetAttachedSurface", "GetPixelFormat"}), give_back_all)},
        FailureCase{
            "NotRgb",
            [](fake::Script& s) {
              s.use_pixel_format = true;
              s.pixel_format.flags = 0;
            },
            joined(joined(up_to_surface, {"GetAttachedSurface", "GetPixelFormat"}), give_back_all)},
        FailureCase{"NoConverter",
                    [](fake::Script& s) {
                      s.use_pixel_format = true;
                      s.pixel_format = {DDPF_RGB, 8, 0, 0, 0};
                    },
                    joined(joined(up_to_surface, {"GetAttachedSurface", "GetPixelFormat"}),
                           give_back_all)}),
    case_name);

TEST_F(DisplayTest, OpensAgainAfterAFailedOpen) {
  fake::Script script;
  script.fail_get_pixel_format = true;
  fake::reset(script);
  ASSERT_EQ(display_open("test", 640, 400), 0);

  fake::script().fail_get_pixel_format = false;
  const int second = log_mark();
  EXPECT_EQ(display_open("test", 640, 400), 1);
  // The class stayed registered: registering it again is refused, and that does not matter.
  EXPECT_EQ(fake::find_call("RegisterClassA(test)", second), second + 3);
  EXPECT_TRUE(fake::held().exclusive);
  EXPECT_EQ(fake::held().surfaces, 3);
  EXPECT_EQ(fake::screen_saver_active(), FALSE);
}

}  // namespace
