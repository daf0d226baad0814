#include "tests/show/timeline_model.h"

#include <array>
#include <cstring>
#include <map>

#include "render/raster_palette.h"
#include "show/timeline.h"
#include "tests/show/test_assets.h"

namespace timeline_model {

namespace {

struct Range {
  std::uint32_t first;
  std::uint32_t last;
  Content content;
};

// What the framebuffer holds when each frame is handed over.
constexpr Range shown_frames[] = {
    {0, 0, Content::black},
    {1, 151, Content::logo},
    {152, 301, Content::logo_caption},
    {302, 451, Content::presents},
    {452, 601, Content::presents_caption},
    {602, 751, Content::title},
    {752, 901, Content::title_caption},
    {902, 1401, Content::page1},
    {1402, 2001, Content::white},
    {2002, 2501, Content::page2},
    {2502, 2650, Content::raster_bars},
    {2951, 3001, Content::raster_bars},
    {3002, 3501, Content::page3},
    {3502, 4001, Content::balls},
    {4002, 4501, Content::page4},
    {4502, 5001, Content::page5},
    {5002, 5501, Content::page6},
};

// The show's own lines of text; which line goes where is the model's.
struct Caption {
  int y;
  int line;
};
const Caption captions[3] = {{300, 0}, {300, 1}, {180, 2}};
constexpr int page_first_line = 3;

using Image = std::vector<std::uint32_t>;

Image picture(int k) { return test_assets::pixels_of(test_assets::picture_file(k)); }

void text(Image& image, int y, const char* line) {
  for (int i = 0; i < 40; ++i) {
    const int g = static_cast<unsigned char>(line[i]) - 32;
    for (int row = 0; row < 16; ++row) {
      for (int column = 0; column < 8; ++column) {
        image[(y + row) * 640 + 180 + 8 * i + column] =
            test_assets::glyph_ink(g, column, row) ? 0xFFFFFFu : 0u;
      }
    }
  }
}

Image build(Content content) {
  switch (content) {
    case Content::nothing:
    case Content::black:
      return Image(640 * 400, 0u);
    case Content::white:
      return Image(640 * 400, 0xFFFFFFu);
    case Content::logo:
      return picture(0);
    case Content::presents:
      return picture(1);
    case Content::title:
      return picture(2);
    case Content::balls:
      return picture(3);
    case Content::logo_caption:
    case Content::presents_caption:
    case Content::title_caption: {
      const int k = content == Content::logo_caption       ? 0
                    : content == Content::presents_caption ? 1
                                                           : 2;
      Image image = picture(k);
      text(image, captions[k].y, message_lines[captions[k].line]);
      return image;
    }
    case Content::raster_bars: {
      Image image(640 * 400, 0u);
      for (int y = 0; y < 384; ++y) {
        for (int x = 0; x < 640; ++x) image[y * 640 + x] = raster_palette[y % 32];
      }
      return image;
    }
    default: {
      const int page = static_cast<int>(content) - static_cast<int>(Content::page1);
      Image image(640 * 400, 0u);
      for (int line = 0; line < 4; ++line) {
        text(image, 180 + 20 * line, message_lines[page_first_line + 4 * page + line]);
      }
      return image;
    }
  }
}

}  // namespace

Content shown_at(std::uint32_t f) {
  for (const Range& r : shown_frames) {
    if (f >= r.first && f <= r.last) return r.content;
  }
  return Content::nothing;
}

std::vector<std::uint32_t> presented_counters() {
  std::vector<std::uint32_t> counters;
  for (std::uint32_t f = 0; f <= 2650; ++f) counters.push_back(f);
  for (std::uint32_t f = 2951; f <= 5501; ++f) counters.push_back(f);
  return counters;
}

const std::vector<std::uint32_t>& image(Content content) {
  static std::map<Content, Image> cache;
  auto found = cache.find(content);
  if (found == cache.end()) found = cache.emplace(content, build(content)).first;
  return found->second;
}

}  // namespace timeline_model
