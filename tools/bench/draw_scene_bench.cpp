// One call of draw_scene for each kind of scene: the drawing that precedes every conversion.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "render/framebuffer.h"
#include "show/assets.h"
#include "show/show_main.h"
#include "show/timeline.h"

namespace {

// Pictures of random colours stand in for the asset files.
void fill_pictures() {
  static bool filled = false;
  if (filled) return;
  std::mt19937 random(1);
  for (std::uint32_t* picture : {logo_image, presents_image, title_image, balls_image}) {
    for (std::size_t i = 0; i < screen_pixels; ++i) {
      picture[i] = static_cast<std::uint32_t>(random()) & 0x00FFFFFFu;
    }
  }
  filled = true;
}

void draw_scene_at(benchmark::State& state, std::uint32_t frame) {
  fill_pictures();
  for (auto _ : state) {
    frame_counter = frame;
    draw_scene();
    benchmark::DoNotOptimize(framebuffer);
    benchmark::ClobberMemory();
  }
}

BENCHMARK_CAPTURE(draw_scene_at, picture, 100u);
BENCHMARK_CAPTURE(draw_scene_at, caption, 200u);
BENCHMARK_CAPTURE(draw_scene_at, text_page, 1000u);
BENCHMARK_CAPTURE(draw_scene_at, white, 1500u);
BENCHMARK_CAPTURE(draw_scene_at, raster_bars, 2600u);
BENCHMARK_CAPTURE(draw_scene_at, nothing, 150u);

}  // namespace
