// One whole frame of the show through the SDL platform: display_update on an open display (convert
// into the back buffer, lock, unlock, flip with no retrace wait, decode into the SDL texture, draw
// it scaled and present), per screen layout and window scale; beside it the decoding alone.
// Needs a display: run it under a virtual X server, for example
//   xvfb-run -s "-screen 0 1920x1200x24" sdl_frame_bench
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "display/display.h"
#include "platform/emulated/emulated_platform.h"
#include "platform/emulated/screen_layouts.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/settings.h"
#include "tools/bench/frame_buffers.h"

namespace {

void whole_frame(benchmark::State& state, emulated::Layout layout, int scale) {
  sdl_platform::Settings settings;
  settings.screen.layouts = {layout};
  settings.windowed = true;
  settings.window_scale = scale;
  settings.retrace_hz = 0;  // time the work, not the wait
  sdl_platform::SdlBackend backend(settings);
  if (!backend.ok()) {
    state.SkipWithError(backend.error().c_str());
    return;
  }
  emulated::install(backend, settings.screen);
  if (display_open("test", bench::frame_width, bench::frame_height) == 0) {
    state.SkipWithError("display_open failed");
    return;
  }
  // Present whether or not the window manager gave the window focus.
  emulated::send_message(WM_ACTIVATEAPP, 1);

  SDL_RendererInfo info{};
  SDL_GetRendererInfo(backend.renderer(), &info);
  state.SetLabel(info.name);

  const std::uint32_t* frame = bench::source_frame();
  int failures = 0;
  for (auto _ : state) {
    if (display_update(frame) != 1) ++failures;
  }
  display_close();
  if (failures != 0) state.SkipWithError("display_update did not present every frame");
}

void decode_rows(benchmark::State& state, emulated::Layout layout) {
  const int bytes = emulated::layout_info(layout).bytes_per_pixel;
  const std::uint8_t* screen = bench::destination_frame();
  static std::vector<std::uint32_t> decoded(bench::frame_pixels);
  for (auto _ : state) {
    for (int row = 0; row < bench::frame_height; ++row) {
      emulated::decode_row(layout,
                           screen + static_cast<std::ptrdiff_t>(row) * bench::frame_width * bytes,
                           bench::frame_width,
                           decoded.data() + static_cast<std::ptrdiff_t>(row) * bench::frame_width);
    }
    benchmark::DoNotOptimize(decoded.data());
    benchmark::ClobberMemory();
  }
}

void register_benchmarks() {
  for (int i = 0; i < emulated::layout_count; ++i) {
    const auto layout = static_cast<emulated::Layout>(i);
    const std::string name(emulated::layout_info(layout).name);
    for (int scale : {1, 2}) {
      benchmark::RegisterBenchmark(
          ("whole_frame/" + name + "/scale:" + std::to_string(scale)).c_str(), whole_frame, layout,
          scale)
          ->Unit(benchmark::kMicrosecond)
          ->UseRealTime();
    }
    benchmark::RegisterBenchmark(("decode_rows/" + name).c_str(), decode_rows, layout)
        ->Unit(benchmark::kMicrosecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "sdl_frame_bench: no display: %s\n", SDL_GetError());
    return 3;
  }
  register_benchmarks();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  SDL_Quit();
  return 0;
}
