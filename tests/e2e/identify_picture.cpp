// Names the scene a screenshot of the show's window shows: the test pictures and captions as the
// timeline draws them, each pixel a square of SCALE with its top left at X, Y, colours as LAYOUT
// keeps them, and black everywhere else. With "rounded", the screen widened narrow channels to 8
// bits by rounding (v * 255 / 31, as Wine does) rather than by repeating their bits.
//   e2e_identify_picture SHOT.ppm LAYOUT SCALE X Y [rounded]
// Prints the scene's name and exits 0; prints the nearest scene and how far off it is and exits 1
// when none matches.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/emulated/screen_layouts.h"
#include "tests/show/timeline_model.h"
#include "tests/support/layout_oracle.h"

namespace {

using timeline_model::Content;

struct Shot {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB
};

// A binary portable pixmap with 8-bit channels and no comment, as `convert -strip` writes it.
std::optional<Shot> read_ppm(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return std::nullopt;
  Shot shot;
  std::vector<unsigned char> bytes;
  if (std::fscanf(file, "P6 %d %d 255", &shot.width, &shot.height) == 2 && shot.width > 0 &&
      shot.height > 0 && std::fgetc(file) != EOF) {
    bytes.resize(static_cast<std::size_t>(shot.width) * static_cast<std::size_t>(shot.height) * 3);
    if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) bytes.clear();
  }
  std::fclose(file);
  if (bytes.empty()) return std::nullopt;
  shot.pixels.resize(bytes.size() / 3);
  for (std::size_t i = 0; i < shot.pixels.size(); ++i) {
    shot.pixels[i] = (std::uint32_t{bytes[3 * i]} << 16) | (std::uint32_t{bytes[3 * i + 1]} << 8) |
                     bytes[3 * i + 2];
  }
  return shot;
}

// Each channel of the shot back to its kept bits, widened by repeating them as the model does; a
// value that rounding never gives becomes 1, which no widening gives.
void widen_by_repeating(Shot& shot, const layout_oracle::Entry& e) {
  for (std::uint32_t& pixel : shot.pixels) {
    std::uint32_t out = 0;
    for (const auto& [channel, shift] : {std::pair{e.red, 16}, {e.green, 8}, {e.blue, 0}}) {
      const long top = (1L << channel.width) - 1, value = pixel >> shift & 0xFF;
      const long kept = std::lround(static_cast<double>(value * top) / 255);
      out |= (std::lround(static_cast<double>(kept * 255) / static_cast<double>(top)) == value
                  ? layout_oracle::replicate(static_cast<std::uint32_t>(kept), channel.width)
                  : 1u)
             << shift;
    }
    pixel = out;
  }
}

// The scenes' names, in the order of Content from black on.
constexpr const char* scene_names[] = {
    "black",      "logo",          "logo_caption", "presents", "presents_caption",
    "title",      "title_caption", "balls",        "page1",    "page2",
    "page3",      "page4",         "page5",        "page6",    "white",
    "raster_bars"};
static_assert(std::size(scene_names) ==
              1 + static_cast<int>(Content::raster_bars) - static_cast<int>(Content::black));

// Pixels of the shot that differ from the scene, counted up to `limit`.
long differences(const Shot& shot, Content content, emulated::Layout layout, int scale, int x0,
                 int y0, long limit) {
  const std::vector<std::uint32_t>& picture = timeline_model::image(content);
  long count = 0;
  for (int y = 0; y < shot.height && count < limit; ++y) {
    for (int x = 0; x < shot.width; ++x) {
      count += shot.pixels[static_cast<std::size_t>(y) * shot.width + x] !=
               layout_oracle::shown(picture, layout, scale, x - x0, y - y0);
    }
  }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6 && !(argc == 7 && std::string_view(argv[6]) == "rounded")) {
    std::fprintf(stderr, "usage: %s SHOT.ppm LAYOUT SCALE X Y [rounded]\n", argv[0]);
    return 2;
  }
  std::optional<Shot> shot = read_ppm(argv[1]);
  const std::optional<emulated::Layout> layout = emulated::parse_layout(argv[2]);
  const int scale = std::atoi(argv[3]);
  const int x0 = std::atoi(argv[4]);
  const int y0 = std::atoi(argv[5]);
  if (!shot || !layout || scale < 1) {
    std::fprintf(stderr, "%s: cannot read the shot, layout or scale\n", argv[0]);
    return 2;
  }
  if (argc == 7) widen_by_repeating(*shot, layout_oracle::entry(*layout));

  const char* nearest = nullptr;
  long nearest_count = 0;
  for (int i = 0; i < static_cast<int>(std::size(scene_names)); ++i) {
    const long limit =
        nearest == nullptr ? static_cast<long>(shot->pixels.size()) + 1 : nearest_count;
    const Content content = static_cast<Content>(static_cast<int>(Content::black) + i);
    const long count = differences(*shot, content, *layout, scale, x0, y0, limit);
    if (count == 0) {
      std::printf("%s\n", scene_names[i]);
      return 0;
    }
    if (nearest == nullptr || count < nearest_count) {
      nearest = scene_names[i];
      nearest_count = count;
    }
  }
  std::printf("no scene: nearest is %s, %ld of %dx%d pixels differ\n", nearest, nearest_count,
              shot->width, shot->height);
  return 1;
}
