#include "tools/generate_assets/icon_picture.h"

#include <cmath>
#include <cstddef>

#include "tools/generate_assets/canvas.h"

namespace {

constexpr int samples = 4;  // coverage samples per pixel, across and down

// One size's drawing, in icon pixels. The letter's edges sit on whole pixels where the size allows,
// so that the small sizes stay sharp instead of being a blur of the large one.
struct Layout {
  int size;
  float corner;                    // rounding of the background square
  float left, top, right, bottom;  // the letter's outer edges
  float stroke;                    // width of its strokes
  float chamfer;                   // its two right-hand corners cut at 45 degrees, this far along
  float rim;                       // dark outline around it
  float shadow;                    // drop shadow offset, down and right
  float horizon;                   // where the sky meets the ground
  float sun_radius;
  int sun_stripes;  // dark bands across the sun's lower half
  int face_first;   // the chrome's first stop used: small sizes leave out its dark top band
  int grid_lines;   // floor lines under the horizon
};

// clang-format off
constexpr Layout layouts[] = {
//   size corner  left top right bottom  stroke chamfer rim    shadow  horizon sun  stripes face grid
    {16,  3,      3,   2,  13,   14,     3,     3,      1,     1,      11,     6,   0,      1,   0},
    {32,  4,      7,   5,  25,   27,     5,     6,      1.5f,  1.5f,   22,     11,  1,      1,   2},
    {48,  6,      10,  7,  38,   41,     7,     9,      2,     2,      33,     16,  2,      0,   3},
};
// clang-format on

// The logo's colours.
const Rgb sky[] = {rgb8(4, 2, 16), rgb8(14, 12, 52), rgb8(52, 22, 88), rgb8(150, 48, 110),
                   rgb8(255, 140, 90)};
const Rgb ground[] = {rgb8(70, 20, 80), rgb8(30, 8, 44), rgb8(10, 2, 18)};
const Rgb chrome[] = {rgb8(30, 40, 110),  rgb8(180, 220, 255), rgb8(250, 252, 255),
                      rgb8(60, 70, 140),  rgb8(120, 60, 30),   rgb8(255, 200, 120),
                      rgb8(255, 245, 210)};
constexpr int chrome_stops = 7;
const Rgb sun_top = rgb8(255, 230, 120);
const Rgb sun_bottom = rgb8(255, 60, 130);
const Rgb grid_line = rgb8(255, 70, 200);
const Rgb rim_colour = rgb8(10, 4, 24);

// Share of the pixel's samples that fall inside.
template <typename Inside>
float coverage(int px, int py, Inside inside) {
  int hits = 0;
  for (int j = 0; j < samples; ++j) {
    for (int i = 0; i < samples; ++i) {
      const float x = static_cast<float>(px) + (static_cast<float>(i) + 0.5f) / samples;
      const float y = static_cast<float>(py) + (static_cast<float>(j) + 0.5f) / samples;
      if (inside(x, y)) ++hits;
    }
  }
  return static_cast<float>(hits) / (samples * samples);
}

bool in_rounded_square(float size, float r, float x, float y) {
  if (x < 0.0f || y < 0.0f || x > size || y > size) return false;
  const float cx = x < r ? r : (x > size - r ? size - r : x);
  const float cy = y < r ? r : (y > size - r ? size - r : y);
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

// The letter's outer shape, a box with its right-hand corners cut, grown by `grow` on every side.
bool in_block(const Layout& l, float grow, float x, float y) {
  const float diagonal = grow * std::sqrt(2.0f);
  return x >= l.left - grow && x <= l.right + grow && y >= l.top - grow && y <= l.bottom + grow &&
         x - y <= l.right - l.chamfer - l.top + diagonal &&
         x + y <= l.right + l.bottom - l.chamfer + diagonal;
}

// The D: the block less the same shape shrunk by a stroke; `grow` widens the strokes both ways.
bool in_letter(const Layout& l, float grow, float x, float y) {
  return in_block(l, grow, x, y) && !in_block(l, -l.stroke - grow, x, y);
}

Rgb backdrop(const Layout& l, int px, int py) {
  const float y = static_cast<float>(py) + 0.5f;
  const auto size = static_cast<float>(l.size);
  Rgb colour = y < l.horizon ? gradient(sky, 5, y / l.horizon)
                             : gradient(ground, 3, (y - l.horizon) / (size - l.horizon));
  // The sun sets: its centre two thirds of its radius above the horizon, nothing of it below.
  const float cx = size / 2.0f;
  const float cy = l.horizon - l.sun_radius * 2.0f / 3.0f;
  const float sun = coverage(px, py, [&](float sx, float sy) {
    if (sy > l.horizon ||
        (sx - cx) * (sx - cx) + (sy - cy) * (sy - cy) > l.sun_radius * l.sun_radius)
      return false;
    // Bands evenly spaced from the centre down, each thicker than the last.
    for (int k = 1; k <= l.sun_stripes; ++k) {
      const float band = cy + (l.horizon - cy) * static_cast<float>(k) / (l.sun_stripes + 1.0f);
      const float half = 0.5f * static_cast<float>(k);
      if (sy > band - half && sy < band + half) return false;
    }
    return true;
  });
  const float t = (y - (cy - l.sun_radius)) / (l.horizon - (cy - l.sun_radius));
  colour = mix(colour, mix(sun_top, sun_bottom, clamp01(t)), sun);
  // Floor lines closing up towards the horizon, as on a ground seen in perspective.
  for (int k = 1; k <= l.grid_lines; ++k) {
    const float at = size - (size - l.horizon) * 2.0f / static_cast<float>(k * k + 2);
    const float line =
        coverage(px, py, [&](float, float sy) { return sy >= at && sy < at + 1.0f; });
    colour = mix(colour, grid_line, 0.85f * line);
  }
  return colour;
}

IconImage paint(const Layout& l) {
  IconImage image;
  image.size = l.size;
  image.rgba.reserve(static_cast<std::size_t>(l.size) * l.size * 4);
  const auto size = static_cast<float>(l.size);
  const Rgb* face = chrome + l.face_first;
  const int face_stops = chrome_stops - l.face_first;
  for (int py = 0; py < l.size; ++py) {
    for (int px = 0; px < l.size; ++px) {
      const float alpha = coverage(
          px, py, [&](float x, float y) { return in_rounded_square(size, l.corner, x, y); });
      Rgb colour = backdrop(l, px, py);
      const float shadow = coverage(px, py, [&](float x, float y) {
        return in_letter(l, l.rim, x - l.shadow, y - l.shadow);
      });
      colour = mix(colour, Rgb{0, 0, 0}, 0.6f * shadow);
      const float rim =
          coverage(px, py, [&](float x, float y) { return in_letter(l, l.rim, x, y); });
      colour = mix(colour, rim_colour, rim);
      const float ink =
          coverage(px, py, [&](float x, float y) { return in_letter(l, 0.0f, x, y); });
      const float t = (static_cast<float>(py) + 0.5f - l.top) / (l.bottom - l.top);
      colour = mix(colour, gradient(face, face_stops, t), ink);
      image.rgba.push_back(to_byte(colour.r));
      image.rgba.push_back(to_byte(colour.g));
      image.rgba.push_back(to_byte(colour.b));
      image.rgba.push_back(to_byte(alpha));
    }
  }
  return image;
}

// The largest hand-placed layout, every length in proportion to `size`.
Layout scaled(int size) {
  Layout l = layouts[2];
  const float k = static_cast<float>(size) / static_cast<float>(l.size);
  l.size = size;
  for (float* length : {&l.corner, &l.left, &l.top, &l.right, &l.bottom, &l.stroke, &l.chamfer,
                        &l.rim, &l.shadow, &l.horizon, &l.sun_radius}) {
    *length *= k;
  }
  return l;
}

}  // namespace

std::vector<IconImage> desktop_icon_images() {
  std::vector<IconImage> images = icon_images();
  for (int size : {64, 128, 256}) images.push_back(paint(scaled(size)));
  return images;
}

std::vector<IconImage> icon_images() {
  std::vector<IconImage> images;
  for (const Layout& l : layouts) images.push_back(paint(l));
  return images;
}
