// A freshly installed emulated platform for each test, offering 16- and 24-bit screens with odd row
// pitches, and windows whose procedure records what it is handed.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/emulated/emulated_platform.h"
#include "tests/support/test_backend.h"

// Every message a window of make_window was handed; WM_CLOSE goes on to the default procedure.
inline std::vector<MSG> received;
inline LRESULT WINAPI recording_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  received.push_back({window, message, wparam, lparam, 0, {}});
  return message == WM_CLOSE ? DefWindowProcA(window, message, wparam, lparam) : 0;
}
inline HWND make_window() {
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = recording_proc;
  window_class.lpszClassName = "recording";
  RegisterClassA(&window_class);  // refused after the first time: the class is there already
  return CreateWindowExA(0, "recording", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                         nullptr);
}

class PlatformTest : public ::testing::Test {
 protected:
  using Layout = emulated::Layout;
  void SetUp() override { start(); }
  // A depth takes the first offered layout of its bit count: rgb888 for 24.
  void start() {
    received.clear();
    emulated::install(backend, {{Layout::bgr565, Layout::rgb888, Layout::bgr888}, 1});
  }
  TestBackend backend;
};
