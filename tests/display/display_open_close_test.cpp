// Taking the screen and giving it back: a failed open returns everything it took, newest first, and
// leaves the desktop's mode and screen-saver switch alone; a close gives back all and puts the
// screen-saver switch back as it was.
#include <optional>
#include <string>
#include <vector>

#include "tests/support/display_fixture.h"

namespace {

using emulated::Fault;
using emulated::Step;
using Calls = std::vector<std::string>;

Calls joined(Calls first, const Calls& then) {
  first.insert(first.end(), then.begin(), then.end());
  return first;
}

const Calls up_to_create = {"LoadLibraryA(ddraw.dll)", "GetProcAddress(DirectDrawCreate)"};
const Calls up_to_window =
    joined(up_to_create, {"DirectDrawCreate()", "RegisterClassA(test)", "CreateWindowExA(test)"});
const Calls up_to_mode = joined(
    up_to_window, {"SetCooperativeLevel(17)", "SendMessage(28,1)", "SetDisplayMode(640,400,32)"});
const Calls up_to_surface = joined(up_to_mode, {"CreateSurface(2)"});
const Calls up_to_format = joined(up_to_surface, {"GetAttachedSurface()", "GetPixelFormat()"});
const Calls give_back_all = {"Release(surface)", "RestoreDisplayMode()", "SetCooperativeLevel(8)",
                             "Release(ddraw)",   "DestroyWindow()",      "FreeLibrary()"};

// A format the driver reports with the 32-bit masks.
DDPIXELFORMAT format(DWORD flags, DWORD bits) {
  return {sizeof(DDPIXELFORMAT), flags, 0, bits, 0xFF0000, 0xFF00, 0xFF, 0};
}

struct FailureCase {
  const char* name;
  std::vector<Fault> faults;
  Calls calls;  // everything the failed open does, giving back included
  std::optional<DDPIXELFORMAT> reported = {};
};

class OpenFailure : public DisplayTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(OpenFailure, ReturnsZeroGivesEverythingBackAndCanOpenAgain) {
  emulated::FaultPlan plan;
  plan.faults = GetParam().faults;
  plan.pixel_format = GetParam().reported;
  start(plan);

  EXPECT_EQ(display_open("test", 640, 400), 0);
  EXPECT_EQ(emulated::recorded_calls(), GetParam().calls);
  EXPECT_EQ(emulated::held(), emulated::Held{});
  EXPECT_TRUE(backend.screen_saver);
  EXPECT_EQ(ddraw_library, nullptr);
  EXPECT_EQ(direct_draw, nullptr);
  EXPECT_EQ(display_window, nullptr);
  EXPECT_EQ(primary_surface, nullptr);
  EXPECT_EQ(back_buffer, nullptr);
  EXPECT_EQ(row_converter, nullptr);
  EXPECT_EQ(display_active, 0);

  // The class stays registered; registering it again is refused, and that does not matter.
  if (!GetParam().reported) {
    open();
    EXPECT_TRUE(emulated::held().primary_surface);
    EXPECT_FALSE(backend.screen_saver);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, OpenFailure,
    ::testing::Values(
        FailureCase{"LoadLibrary", {{Step::load_library}}, {"LoadLibraryA(ddraw.dll)"}},
        FailureCase{
            "GetProcAddress", {{Step::get_proc_address}}, joined(up_to_create, {"FreeLibrary()"})},
        FailureCase{"DirectDrawCreate",
                    {{Step::direct_draw_create}},
                    joined(up_to_create, {"DirectDrawCreate()", "FreeLibrary()"})},
        // No window: exclusive mode cannot be taken for it, and there is no window to destroy.
        FailureCase{
            "CreateWindow",
            {{Step::create_window}},
            joined(up_to_window, {"SetCooperativeLevel(17)", "Release(ddraw)", "FreeLibrary()"})},
        FailureCase{"SetCooperativeLevel",
                    {{Step::set_cooperative_level}},
                    joined(up_to_window, {"SetCooperativeLevel(17)", "Release(ddraw)",
                                          "DestroyWindow()", "FreeLibrary()"})},
        FailureCase{"SetDisplayMode",
                    {{Step::set_display_mode, 0, 3}},
                    joined(up_to_mode, {"SetDisplayMode(640,400,24)", "SetDisplayMode(640,400,16)",
                                        "SetCooperativeLevel(8)", "Release(ddraw)",
                                        "DestroyWindow()", "FreeLibrary()"})},
        FailureCase{"CreateSurface",
                    {{Step::create_surface, 0, 2}},
                    joined(up_to_surface,
                           {"CreateSurface(1)", "RestoreDisplayMode()", "SetCooperativeLevel(8)",
                            "Release(ddraw)", "DestroyWindow()", "FreeLibrary()"})},
        FailureCase{"GetAttachedSurface",
                    {{Step::get_attached_surface}},
                    joined(joined(up_to_surface, {"GetAttachedSurface()"}), give_back_all)},
        FailureCase{
            "GetPixelFormat", {{Step::get_pixel_format}}, joined(up_to_format, give_back_all)},
        FailureCase{"NotRgb", {}, joined(up_to_format, give_back_all), format(0, 32)},
        FailureCase{"NoConverter", {}, joined(up_to_format, give_back_all), format(DDPF_RGB, 8)}),
    CaseName());

TEST_F(DisplayTest, TakesTheScreenInOrderAndFallsBackToOneBackBuffer) {
  emulated::FaultPlan plan;
  plan.faults = {{Step::create_surface}};
  start(plan);
  open();
  EXPECT_EQ(emulated::recorded_calls(),
            joined(up_to_surface, {"CreateSurface(1)", "GetAttachedSurface()", "GetPixelFormat()",
                                   "SystemParametersInfoA(16,0)", "SystemParametersInfoA(17,0)"}));
  EXPECT_EQ(display_active, 1);  // the activation sent when the window took the screen
}

// Closing gives back everything and puts the screen saver back as it was; unreadable counts as on.
TEST_F(DisplayTest, CloseGivesBackEverythingAndRestoresTheScreenSaver) {
  struct Case {
    bool screen_saver;
    bool readable;
    BOOL restored;
  };
  for (const Case c :
       {Case{true, true, TRUE}, Case{false, true, FALSE}, Case{false, false, TRUE}}) {
    SetUp();
    emulated::FaultPlan plan;
    if (!c.readable) plan.faults = {{Step::system_parameters}};
    start(plan);
    backend.screen_saver = c.screen_saver;
    open(8, 2);
    const std::uint32_t frame[16] = {};
    ASSERT_EQ(update(frame), -2);
    EXPECT_FALSE(backend.screen_saver);
    const std::size_t from = mark();
    display_close();
    EXPECT_EQ(calls_from(from), closing_calls(c.restored));
    EXPECT_EQ(emulated::held(), emulated::Held{});
    EXPECT_EQ(backend.screen_saver, c.restored == TRUE);
  }
}

}  // namespace
