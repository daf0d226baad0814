#include <cmath>

#include "tools/generate_assets/backdrop.h"
#include "tools/generate_assets/lettering.h"
#include "tools/generate_assets/pictures.h"

namespace {

constexpr int horizon = 262;
constexpr float vanish_x = 320.0f;
// The caption band (rows 300-315) is the mist just below the horizon: the floor grid starts under
// it.
constexpr int grid_top = 326;

void sunset_sun(Canvas& c) {
  const Rgb top = rgb8(255, 230, 120);
  const Rgb bottom = rgb8(255, 60, 130);
  const float cx = 320.0f, cy = 232.0f, r = 92.0f;
  for (int y = static_cast<int>(cy - r) - 1; y < horizon; ++y) {
    const float fy = static_cast<float>(y) + 0.5f;
    const float t = (fy - (cy - r)) / (2.0f * r);
    // Stripes cut through the lower half, widening towards the horizon.
    const float stripe_phase = (fy - cy) / 11.0f;
    const float frac = stripe_phase - std::floor(stripe_phase);
    const float cut = fy > cy ? (fy - cy) / (static_cast<float>(horizon) - cy) * 0.55f : 0.0f;
    const float stripe = smoothstep(cut - 0.06f, cut + 0.06f, frac);
    for (int x = static_cast<int>(cx - r) - 1; x <= static_cast<int>(cx + r) + 1; ++x) {
      const float dx = static_cast<float>(x) + 0.5f - cx;
      const float dy = fy - cy;
      const float d = std::sqrt(dx * dx + dy * dy);
      c.blend(x, y, mix(top, bottom, t), clamp01(r + 0.5f - d) * stripe);
    }
  }
}

void floor_grid(Canvas& c) {
  const Rgb line = rgb8(255, 70, 200);
  for (int y = grid_top; y < Canvas::height; ++y) {
    const float fy = static_cast<float>(y) + 0.5f;
    const float depth = fy - static_cast<float>(horizon);  // grows towards the viewer
    const float fade =
        smoothstep(static_cast<float>(grid_top), static_cast<float>(grid_top) + 30.0f, fy);
    // Horizontal lines at equal steps on the ground: rows where 2400/depth crosses an integer.
    const float z = 2400.0f / depth;
    const float dz = 2400.0f / (depth * depth);  // ground distance per pixel row
    const float zf = z / 4.0f - std::floor(z / 4.0f);
    const float dist_line = (zf < 0.5f ? zf : 1.0f - zf) * 4.0f / dz;
    const float h_cov = clamp01(1.0f - dist_line) * fade;
    for (int x = 0; x < Canvas::width; ++x) {
      const float fx = static_cast<float>(x) + 0.5f;
      // Vertical lines converge on the vanishing point: equal steps of (x - vx) / depth.
      const float u = (fx - vanish_x) / depth * 4.0f;
      const float uf = u - std::floor(u);
      const float dist_v = (uf < 0.5f ? uf : 1.0f - uf) * depth / 4.0f;
      const float v_cov = clamp01(1.0f - dist_v) * fade;
      const float cov = h_cov > v_cov ? h_cov : v_cov;
      c.blend(x, y, line, 0.85f * cov);
    }
  }
}

}  // namespace

void paint_logo(Canvas& c) {
  const Rgb sky[] = {rgb8(4, 2, 16), rgb8(14, 12, 52), rgb8(52, 22, 88), rgb8(150, 48, 110),
                     rgb8(255, 140, 90)};
  vertical_gradient(c, 0, horizon - 1, sky, 5);
  const Rgb ground[] = {rgb8(70, 20, 80), rgb8(30, 8, 44), rgb8(10, 2, 18)};
  vertical_gradient(c, horizon, Canvas::height - 1, ground, 3);
  starfield(c, 0xD2A11u, 420, 0, 200, Rect{-100, -100, -90, -90});
  sunset_sun(c);
  floor_grid(c);
  copper_bar(c, 92.0f, 5.0f, rgb8(80, 160, 255), 0.9f);
  copper_bar(c, 238.0f, 5.0f, rgb8(255, 120, 60), 0.9f);

  const Rgb chrome[] = {rgb8(30, 40, 110),  rgb8(180, 220, 255), rgb8(250, 252, 255),
                        rgb8(60, 70, 140),  rgb8(120, 60, 30),   rgb8(255, 200, 120),
                        rgb8(255, 245, 210)};
  const BigText name{"DRUMVELK", 32.0f, 103.0f, 9.0f, 7.5f};
  const LetterStyle style{chrome, 7, rgb8(10, 4, 24), 6.0f, 7.0f, 0.7f};
  draw_big_text(c, name, style);
}
