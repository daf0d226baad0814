#include "tools/generate_assets/backdrop.h"

#include "tools/generate_assets/prng.h"

void vertical_gradient(Canvas& c, int y0, int y1, const Rgb* stops, int count) {
  for (int y = y0; y <= y1; ++y) {
    const float t = y1 > y0 ? static_cast<float>(y - y0) / static_cast<float>(y1 - y0) : 0.0f;
    const Rgb colour = gradient(stops, count, t);
    for (int x = 0; x < Canvas::width; ++x) c.at(x, y) = colour;
  }
}

void starfield(Canvas& c, std::uint32_t seed, int count, int y0, int y1, const Rect& keep_clear) {
  Prng rng(seed);
  for (int i = 0; i < count; ++i) {
    const float x = rng.range(0.0f, static_cast<float>(Canvas::width));
    const float y = rng.range(static_cast<float>(y0), static_cast<float>(y1));
    const float depth = rng.unit();
    const float tint = rng.unit();
    if (keep_clear.contains(x, y, 4.0f)) continue;
    const float fade = smoothstep(static_cast<float>(y1), static_cast<float>(y0), y);
    const Rgb colour = mix(rgb8(170, 190, 255), rgb8(255, 235, 200), tint);
    if (depth > 0.97f) {
      // A bright star with a small cross glint.
      c.dot(x, y, 1.3f, colour, fade);
      for (int k = 2; k <= 5; ++k) {
        const float a = fade * (0.6f - 0.1f * static_cast<float>(k));
        const auto ix = static_cast<int>(x);
        const auto iy = static_cast<int>(y);
        c.blend(ix + k, iy, colour, a);
        c.blend(ix - k, iy, colour, a);
        c.blend(ix, iy + k, colour, a);
        c.blend(ix, iy - k, colour, a);
      }
    } else {
      c.dot(x, y, 0.3f + 0.6f * depth, colour, fade * (0.35f + 0.65f * depth));
    }
  }
}

void copper_bar(Canvas& c, float centre_y, float half_height, Rgb colour, float alpha) {
  const int y0 = static_cast<int>(centre_y - half_height);
  const int y1 = static_cast<int>(centre_y + half_height) + 1;
  for (int y = y0; y <= y1; ++y) {
    const float d = (static_cast<float>(y) + 0.5f - centre_y) / half_height;
    const float w = clamp01(1.0f - d * d);
    if (w <= 0.0f) continue;
    // Highlight in the middle, deep colour at the edges: the look of a rounded metal bar.
    const Rgb shade = mix(colour * 0.35f, mix(colour, Rgb{1, 1, 1}, 0.45f), w * w);
    for (int x = 0; x < Canvas::width; ++x) c.blend(x, y, shade, alpha * smoothstep(0.0f, 0.4f, w));
  }
}
