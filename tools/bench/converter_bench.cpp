// One 640x400 frame through each converter, beside memcpy of the same bytes, SDL_ConvertPixels for
// the same conversion and a plain per-pixel loop. Before timing, each converter's frame is checked
// against SDL's and against the plain loop's.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "display/pixel_converters.h"
#include "tools/bench/frame_buffers.h"
#include "tools/bench/scalar_rows.h"

#if SHOW_BENCH_WITH_SDL
#define SDL_MAIN_HANDLED
#include <SDL.h>
#endif

namespace {

using bench::frame_height;
using bench::frame_pixels;
using bench::frame_width;

struct Layout {
  const char* name;
  PixelConverter converter;
  PixelConverter plain_loop;
  int bytes_per_pixel;
  std::uint32_t sdl_format;  // 0: none to compare with
  bool sdl_writes_byte3;
};

#if SHOW_BENCH_WITH_SDL
constexpr std::uint32_t sdl(SDL_PixelFormatEnum format) { return format; }
#else
constexpr std::uint32_t sdl(int) { return 0; }
#define SDL_PIXELFORMAT_RGB888 0
#define SDL_PIXELFORMAT_BGR888 0
#define SDL_PIXELFORMAT_BGR24 0
#define SDL_PIXELFORMAT_RGB24 0
#define SDL_PIXELFORMAT_RGB565 0
#define SDL_PIXELFORMAT_BGR565 0
#define SDL_PIXELFORMAT_RGB555 0
#define SDL_PIXELFORMAT_BGR555 0
#endif

// SDL's names are of the packed value: its RGB888 is our xrgb8888; its BGR24 has bytes B, G, R in
// memory, our rgb888.
const std::vector<Layout> layouts = {
    {"xrgb8888", convert_row_xrgb8888, scalar::xrgb8888, 4, sdl(SDL_PIXELFORMAT_RGB888), true},
    {"xbgr8888", convert_row_xbgr8888, scalar::xbgr8888, 4, sdl(SDL_PIXELFORMAT_BGR888), false},
    {"rgb888", convert_row_rgb888, scalar::rgb888, 3, sdl(SDL_PIXELFORMAT_BGR24), true},
    {"bgr888", convert_row_bgr888, scalar::bgr888, 3, sdl(SDL_PIXELFORMAT_RGB24), true},
    {"rgb565", convert_row_rgb565, scalar::rgb565, 2, sdl(SDL_PIXELFORMAT_RGB565), true},
    {"bgr565", convert_row_bgr565, scalar::bgr565, 2, sdl(SDL_PIXELFORMAT_BGR565), true},
    {"rgb555", convert_row_rgb555, scalar::rgb555, 2, sdl(SDL_PIXELFORMAT_RGB555), true},
    {"bgr555", convert_row_bgr555, scalar::bgr555, 2, sdl(SDL_PIXELFORMAT_BGR555), true},
};

std::size_t frame_bytes(const Layout& layout) {
  return frame_pixels * static_cast<std::size_t>(layout.bytes_per_pixel);
}

// Row by row, as the display presents a frame.
void convert_frame(PixelConverter converter, int bytes_per_pixel, std::uint8_t* destination) {
  const std::uint32_t* source = bench::source_frame();
  const std::size_t pitch = static_cast<std::size_t>(frame_width) * bytes_per_pixel;
  for (int y = 0; y < frame_height; ++y) {
    converter(source + static_cast<std::size_t>(y) * frame_width, destination + y * pitch,
              frame_width);
  }
}

#if SHOW_BENCH_WITH_SDL
int sdl_convert_frame(const Layout& layout, std::uint8_t* destination) {
  return SDL_ConvertPixels(frame_width, frame_height, SDL_PIXELFORMAT_ARGB8888,
                           bench::source_frame(), frame_width * 4, layout.sdl_format, destination,
                           frame_width * layout.bytes_per_pixel);
}
#endif

// Number of differing bytes, leaving out byte 3 of each pixel where asked; prints the first.
std::size_t count_differences(const Layout& layout, const std::uint8_t* ours,
                              const std::uint8_t* theirs, bool compare_byte3, const char* what) {
  std::size_t differences = 0;
  for (std::size_t i = 0; i < frame_bytes(layout); ++i) {
    if (!compare_byte3 && i % 4 == 3) continue;
    if (ours[i] != theirs[i] && differences++ == 0) {
      std::printf("  %s: first difference from %s at byte %zu: 0x%02X, not 0x%02X\n", layout.name,
                  what, i, ours[i], theirs[i]);
    }
  }
  return differences;
}

// True when every converter matches wherever there is something to match.
bool check_outputs() {
  bool all_equal = true;
  std::uint8_t* ours = bench::destination_frame();
  std::uint8_t* theirs = bench::second_destination_frame();
  std::printf("Checking one random 640x400 frame:\n");
  for (const Layout& layout : layouts) {
    convert_frame(layout.converter, layout.bytes_per_pixel, ours);
    convert_frame(layout.plain_loop, layout.bytes_per_pixel, theirs);
    const std::size_t loop_differences =
        count_differences(layout, ours, theirs, true, "plain loop");
    std::string sdl_result = "no SDL";
#if SHOW_BENCH_WITH_SDL
    std::memset(theirs, 0xA5, frame_bytes(layout));
    if (sdl_convert_frame(layout, theirs) != 0) {
      sdl_result = std::string("SDL failed: ") + SDL_GetError();
      all_equal = false;
    } else {
      const std::size_t sdl_differences =
          count_differences(layout, ours, theirs, layout.sdl_writes_byte3, "SDL");
      sdl_result = sdl_differences == 0
                       ? "equals SDL_ConvertPixels"
                       : std::to_string(sdl_differences) + " bytes differ from SDL";
      if (!layout.sdl_writes_byte3) sdl_result += " (byte 3 not compared)";
      all_equal = all_equal && sdl_differences == 0;
    }
#endif
    std::printf(
        "  %-9s %s; %s\n", layout.name,
        loop_differences == 0
            ? "equals the plain loop"
            : (std::to_string(loop_differences) + " bytes differ from the plain loop").c_str(),
        sdl_result.c_str());
    all_equal = all_equal && loop_differences == 0;
  }
  return all_equal;
}

void time_converter(benchmark::State& state, PixelConverter converter, int bytes_per_pixel) {
  std::uint8_t* destination = bench::destination_frame();
  for (auto _ : state) {
    convert_frame(converter, bytes_per_pixel, destination);
    benchmark::DoNotOptimize(destination);
    benchmark::ClobberMemory();
  }
}

void time_memcpy(benchmark::State& state) {
  std::uint8_t* destination = bench::destination_frame();
  const std::uint32_t* source = bench::source_frame();
  for (auto _ : state) {
    std::memcpy(destination, source, frame_pixels * 4);
    benchmark::DoNotOptimize(destination);
    benchmark::ClobberMemory();
  }
}

#if SHOW_BENCH_WITH_SDL
void time_sdl(benchmark::State& state, const Layout& layout) {
  std::uint8_t* destination = bench::destination_frame();
  for (auto _ : state) {
    benchmark::DoNotOptimize(sdl_convert_frame(layout, destination));
    benchmark::ClobberMemory();
  }
}
#endif

void register_benchmarks() {
  benchmark::RegisterBenchmark("memcpy/frame", time_memcpy);
  for (const Layout& layout : layouts) {
    const std::string name = layout.name;
    benchmark::RegisterBenchmark((name + "/converter").c_str(), time_converter, layout.converter,
                                 layout.bytes_per_pixel);
#if SHOW_BENCH_WITH_SDL
    benchmark::RegisterBenchmark((name + "/sdl").c_str(), time_sdl, layout);
#endif
    benchmark::RegisterBenchmark((name + "/plain_loop").c_str(), time_converter, layout.plain_loop,
                                 layout.bytes_per_pixel);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  const bool outputs_match = check_outputs();
  std::printf(outputs_match ? "All outputs match.\n\n" : "OUTPUTS DIFFER.\n\n");
  std::fflush(stdout);
  register_benchmarks();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return outputs_match ? 0 : 1;
}
