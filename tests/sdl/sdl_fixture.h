// SDL with no display: the dummy video driver and the software renderer, so that the backend
// runs anywhere and what it draws can be read back.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/sdl/settings.h"

class NoDisplaySdl : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  }
  static void TearDownTestSuite() { SDL_Quit(); }

  static sdl_platform::Settings windowed(int scale) {
    sdl_platform::Settings settings;
    settings.windowed = true;
    settings.window_scale = scale;
    settings.retrace_hz = 0;
    return settings;
  }
};
