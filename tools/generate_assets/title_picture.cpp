#include <cmath>

#include "tools/generate_assets/backdrop.h"
#include "tools/generate_assets/lettering.h"
#include "tools/generate_assets/pictures.h"
#include "tools/generate_assets/prng.h"

namespace {

// A ridge line by midpoint displacement over 65 points, as heights in canvas rows.
void ridge(std::uint32_t seed, float base, float rough, float* h) {
  Prng rng(seed);
  h[0] = base + rng.range(-rough, rough);
  h[64] = base + rng.range(-rough, rough);
  for (int step = 64; step > 1; step /= 2) {
    for (int i = step / 2; i < 64; i += step) {
      h[i] = 0.5f * (h[i - step / 2] + h[i + step / 2]) + rng.range(-rough, rough);
    }
    rough *= 0.55f;
  }
  for (int i = 0; i <= 64; ++i) h[i] = h[i] < 215.0f ? 215.0f : h[i];  // clear of the caption row
}

void mountains(Canvas& c, std::uint32_t seed, float base, float rough, Rgb top, Rgb bottom) {
  float h[65];
  ridge(seed, base, rough, h);
  for (int x = 0; x < Canvas::width; ++x) {
    const float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(Canvas::width) * 64.0f;
    int i = static_cast<int>(u);
    if (i > 63) i = 63;
    const float ridge_y = h[i] + (h[i + 1] - h[i]) * (u - static_cast<float>(i));
    for (int y = static_cast<int>(ridge_y) - 1; y < Canvas::height; ++y) {
      const float fy = static_cast<float>(y) + 0.5f;
      const float t = clamp01((fy - ridge_y) / (static_cast<float>(Canvas::height) - ridge_y));
      c.blend(x, y, mix(top, bottom, t), clamp01(fy - ridge_y + 0.5f));
    }
  }
}

void moon(Canvas& c) {
  const float cx = 540.0f, cy = 232.0f, r = 26.0f;
  for (int y = static_cast<int>(cy - r) - 2; y <= static_cast<int>(cy + r) + 2; ++y) {
    for (int x = static_cast<int>(cx - r) - 2; x <= static_cast<int>(cx + r) + 2; ++x) {
      const float dx = static_cast<float>(x) + 0.5f - cx;
      const float dy = static_cast<float>(y) + 0.5f - cy;
      const float d = std::sqrt(dx * dx + dy * dy);
      const float nz = std::sqrt(clamp01(1.0f - (d * d) / (r * r)));
      const float spots = value_noise(dx / 7.0f + 10.0f, dy / 7.0f + 10.0f, 77u);
      const Rgb surface =
          mix(rgb8(200, 190, 210), rgb8(255, 250, 235), spots) * (0.55f + 0.45f * nz);
      c.blend(x, y, surface, clamp01(r + 0.5f - d));
    }
  }
}

}  // namespace

void paint_title(Canvas& c) {
  const Rgb sky[] = {rgb8(2, 1, 12), rgb8(10, 10, 46), rgb8(36, 20, 80), rgb8(110, 40, 100),
                     rgb8(230, 100, 70)};
  vertical_gradient(c, 0, Canvas::height - 1, sky, 5);
  // Stars stay above the caption row (180-195) so it reads cleanly.
  starfield(c, 0x0111A4u, 380, 0, 170, Rect{-100, -100, -90, -90});
  moon(c);
  mountains(c, 0x3A11u, 270.0f, 40.0f, rgb8(70, 40, 100), rgb8(40, 20, 60));
  mountains(c, 0x3A12u, 320.0f, 34.0f, rgb8(26, 12, 40), rgb8(6, 2, 10));

  const Rgb ice[] = {rgb8(20, 40, 120), rgb8(120, 230, 255), rgb8(240, 255, 255),
                     rgb8(80, 60, 200), rgb8(200, 90, 255),  rgb8(255, 210, 255)};
  const BigText title{"QUILLMAR", 32.0f, 34.0f, 9.0f, 7.0f};
  draw_big_text(c, title, LetterStyle{ice, 6, rgb8(6, 2, 20), 6.0f, 6.0f, 0.75f});
}
