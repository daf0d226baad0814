// Presenting frames: every screen layout shows the framebuffer's colours at the surface's pitch;
// the window's messages are handled before the frame, the cursor hidden; Escape and close requests
// end the show; a frame that cannot be drawn is dropped, and the next one shown.
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/display_fixture.h"
#include "tests/support/layout_oracle.h"

namespace {

using emulated::Step;

constexpr int width = 37;  // odd, so that every converter has pixels left after its blocks
constexpr int height = 3;
constexpr int padding = 5;
constexpr std::uint8_t untouched = 0xA5;

// Every pixel different, top byte clear as in the framebuffer.
std::vector<std::uint32_t> make_frame(std::uint32_t seed) {
  std::vector<std::uint32_t> frame(width * height);
  for (std::uint32_t i = 0; i < frame.size(); ++i) frame[i] = ((seed << 8) + i) * 2654435761u >> 8;
  return frame;
}

class Present : public DisplayTest {
 protected:
  void open_with(std::vector<emulated::Layout> layouts, emulated::FaultPlan plan = {}) {
    start(std::move(plan), std::move(layouts), padding);
    open(width, height);
  }

  // Fills the buffer the next frame is drawn into, so that bytes never written can be told.
  static void mark_back_buffer() {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(back_buffer->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    std::memset(desc.lpSurface, untouched, static_cast<std::size_t>(desc.lPitch) * height);
    back_buffer->Unlock(desc.lpSurface);
  }

  // Whether the last frame presented shows `frame`, and (when asked) its row padding untouched.
  ::testing::AssertionResult shows(const std::vector<std::uint32_t>& frame,
                                   bool padding_untouched = false) const {
    if (backend.frames.empty()) return ::testing::AssertionFailure() << "nothing presented";
    const PresentedFrame& shown = backend.frames.back();
    const layout_oracle::Entry& e = layout_oracle::entry(shown.layout);
    for (int row = 0; row < height; ++row) {
      const std::uint8_t* line = shown.bytes.data() + row * shown.pitch;
      for (int column = 0; column < width; ++column) {
        std::uint32_t value = 0;
        std::memcpy(&value, line + column * e.bytes, static_cast<std::size_t>(e.bytes));
        const std::uint32_t source = frame[static_cast<std::size_t>(row * width + column)];
        if (layout_oracle::read_back(value, e.layout) != layout_oracle::shown(source, e.layout)) {
          return ::testing::AssertionFailure() << e.name << " row " << row << " column " << column;
        }
      }
      for (int gap = width * e.bytes; padding_untouched && gap < shown.pitch; ++gap) {
        if (line[gap] != untouched) {
          return ::testing::AssertionFailure() << e.name << " row " << row << " gap " << gap;
        }
      }
    }
    return ::testing::AssertionSuccess();
  }

  const std::vector<std::uint32_t> first = make_frame(1);
  const std::vector<std::uint32_t> second = make_frame(2);
};

class EveryLayout : public Present, public ::testing::WithParamInterface<layout_oracle::Entry> {};

// The screen offers only this layout: the display takes its depth and converts into it.
TEST_P(EveryLayout, ShowsEachFrameAfterItsFlip) {
  open_with({GetParam().layout});
  EXPECT_EQ(backend.events[1], "mode 37x3 " + std::string(GetParam().name));
  for (const std::vector<std::uint32_t>* frame : {&first, &second}) {
    mark_back_buffer();
    ASSERT_EQ(update(frame->data()), -2);
    EXPECT_TRUE(shows(*frame, true));
  }
  EXPECT_EQ(backend.presents, 2);
  EXPECT_EQ(backend.retraces, 2);  // each flip waits for the retrace
}

INSTANTIATE_TEST_SUITE_P(Layouts, EveryLayout, ::testing::ValuesIn(layout_oracle::entries()),
                         CaseName());

// The key's character comes straight after it, as TranslateMessage queues it first; over the
// window the cursor is hidden.
TEST_F(Present, WaitingMessagesAreHandledInOrderBeforeTheFrame) {
  open_with({emulated::Layout::xrgb8888});
  emulated::post_message(WM_USER, 1);
  emulated::post_message(WM_KEYDOWN, 'A');
  emulated::post_message(WM_SETCURSOR);
  emulated::post_message(WM_USER, 2);
  const std::size_t from = mark();
  ASSERT_EQ(update(first.data()), -2);
  std::vector<std::string> calls = calls_from(from);
  calls.resize(6);
  EXPECT_EQ(calls, (std::vector<std::string>{"DispatchMessageA(1024,1)", "DispatchMessageA(256,65)",
                                             "DispatchMessageA(258,97)", "DispatchMessageA(32,0)",
                                             "SetCursor(0)", "DispatchMessageA(1024,2)"}));
  EXPECT_FALSE(backend.cursor_shown);
  EXPECT_TRUE(shows(first));
}

// Ending frees the music, closes the display and exits with 0 before this frame is drawn.
TEST_F(Present, OnlyEscapeAndCloseEndTheShow) {
  struct Case {
    UINT message;
    WPARAM wparam;
    bool ends;
  };
  const Case cases[] = {{WM_KEYDOWN, VK_ESCAPE, true}, {WM_KEYDOWN, 0x11B, true},  // low byte
                        {WM_CLOSE, 0, true},           {WM_KEYDOWN, 'Q', false},
                        {WM_KEYDOWN, 0x1B00, false},   {WM_KEYUP, VK_ESCAPE, false}};
  const std::vector<std::string> ending = ending_calls();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.message << " " << c.wparam);
    SetUp();
    open_with({emulated::Layout::xrgb8888});
    emulated::post_message(c.message, c.wparam);
    const std::size_t from = mark() + 1;  // after the dispatch of the message itself
    EXPECT_EQ(update(first.data()), c.ends ? 0 : -2);
    EXPECT_EQ(backend.presents, c.ends ? 0 : 1);
    EXPECT_EQ(c.ends ? calls_from(from) : ending, ending);
  }
}

// A lock that fails, surfaces lost (and not yet restorable): that frame is dropped or recovered,
// and the next one is shown.
TEST_F(Present, AFrameThatCannotBeDrawnIsDroppedAndTheNextShown) {
  struct Case {
    std::vector<emulated::Fault> faults;
    bool lose_surfaces;
    bool dropped;
  };
  const Case cases[] = {
      {{{Step::lock, 1}}, false, true}, {{}, true, false}, {{{Step::restore, 1}}, true, true}};
  for (const Case& c : cases) {
    SetUp();
    emulated::FaultPlan plan;
    plan.faults = c.faults;
    open_with({emulated::Layout::xrgb8888}, plan);
    ASSERT_EQ(update(first.data()), -2);
    if (c.lose_surfaces) emulated::lose_surfaces();
    EXPECT_EQ(update(second.data()), c.dropped ? -1 : -2);
    EXPECT_EQ(backend.presents, c.dropped ? 1 : 2);
    EXPECT_TRUE(shows(c.dropped ? first : second));
    EXPECT_EQ(update(second.data()), -2);
    EXPECT_TRUE(shows(second));
  }
}

}  // namespace
