// A backend for the platform tests: records what the platform tells it, keeps a copy of every
// presented frame, and ends the process by throwing, so that a test can look at what happened.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/emulated/emulated_platform.h"

struct ProcessEnded {
  UINT code;
};

struct PresentedFrame {
  LONG pitch;
  emulated::Layout layout;
  std::vector<std::uint8_t> bytes;  // height rows of pitch bytes
};

class TestBackend : public emulated::Backend {
 public:
  void exclusive_mode(bool exclusive) override {
    events.push_back(exclusive ? "exclusive" : "shared");
    if (exclusive && activate_on_exclusive) emulated::send_message(WM_ACTIVATEAPP, 1);
  }
  void display_mode(int width, int height, emulated::Layout layout) override {
    events.push_back("mode " + std::to_string(width) + "x" + std::to_string(height) + " " +
                     std::string(emulated::layout_info(layout).name));
  }
  void display_mode_restored() override { events.push_back("mode restored"); }
  void wait_for_retrace() override { ++retraces; }
  void present(const emulated::Frame& frame) override {
    ++presents;
    if (on_present) on_present(frame);
    if (!keep_frames) return;
    const std::size_t size =
        static_cast<std::size_t>(frame.pitch) * static_cast<std::size_t>(frame.height);
    frames.push_back(
        {frame.pitch, frame.layout, std::vector<std::uint8_t>(frame.pixels, frame.pixels + size)});
  }
  void poll_events() override {
    ++polls;
    if (on_poll) on_poll();
  }
  void sleep(DWORD milliseconds) override { sleeps.push_back(milliseconds); }
  [[noreturn]] void exit_process(UINT exit_code) override { throw ProcessEnded{exit_code}; }
  void show_cursor(bool shown) override { cursor_shown = shown; }
  bool screen_saver_active() const override { return screen_saver; }
  void set_screen_saver_active(bool active) override { screen_saver = active; }

  bool activate_on_exclusive = false;
  std::function<void()> on_poll;
  std::function<void(const emulated::Frame&)> on_present;
  bool keep_frames = true;  // a copy of every frame; off for whole shows
  int presents = 0;
  std::vector<std::string> events;
  std::vector<PresentedFrame> frames;
  std::vector<DWORD> sleeps;
  int retraces = 0;
  int polls = 0;
  bool cursor_shown = true;
  bool screen_saver = true;
};
