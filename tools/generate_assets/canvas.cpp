#include "tools/generate_assets/canvas.h"

#include <cmath>

#include "tools/generate_assets/prng.h"

Rgb gradient(const Rgb* stops, int count, float t) {
  const float pos = clamp01(t) * static_cast<float>(count - 1);
  int i = static_cast<int>(pos);
  if (i >= count - 1) i = count - 2;
  return mix(stops[i], stops[i + 1], pos - static_cast<float>(i));
}

float value_noise(float x, float y, std::uint32_t seed) {
  const float fx = std::floor(x);
  const float fy = std::floor(y);
  const auto ix = static_cast<std::int32_t>(fx);
  const auto iy = static_cast<std::int32_t>(fy);
  auto corner = [&](std::int32_t dx, std::int32_t dy) {
    return static_cast<float>(hash2(ix + dx, iy + dy, seed) >> 8) * (1.0f / 16777216.0f);
  };
  const float tx = smoothstep(0.0f, 1.0f, x - fx);
  const float ty = smoothstep(0.0f, 1.0f, y - fy);
  const float top = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * tx;
  const float bottom = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * tx;
  return top + (bottom - top) * ty;
}

void Canvas::blend(int x, int y, Rgb colour, float alpha) {
  if (x < 0 || y < 0 || x >= width || y >= height || alpha <= 0.0f) return;
  Rgb& p = at(x, y);
  p = mix(p, colour, clamp01(alpha));
}

void Canvas::dot(float cx, float cy, float radius, Rgb colour, float alpha) {
  const int x0 = static_cast<int>(std::floor(cx - radius - 1.0f));
  const int x1 = static_cast<int>(std::ceil(cx + radius + 1.0f));
  const int y0 = static_cast<int>(std::floor(cy - radius - 1.0f));
  const int y1 = static_cast<int>(std::ceil(cy + radius + 1.0f));
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const float dx = static_cast<float>(x) + 0.5f - cx;
      const float dy = static_cast<float>(y) + 0.5f - cy;
      const float d = std::sqrt(dx * dx + dy * dy);
      blend(x, y, colour, alpha * clamp01(radius + 0.5f - d));
    }
  }
}

std::uint8_t to_byte(float v) { return static_cast<std::uint8_t>(clamp01(v) * 255.0f + 0.5f); }

std::vector<std::uint8_t> Canvas::raw_bytes() const {
  std::vector<std::uint8_t> out;
  out.reserve(px_.size() * 4);
  for (const Rgb& p : px_) {
    out.push_back(to_byte(p.r));
    out.push_back(to_byte(p.g));
    out.push_back(to_byte(p.b));
    out.push_back(0);
  }
  return out;
}
