#include <algorithm>
#include <cmath>

#include "tools/generate_assets/backdrop.h"
#include "tools/generate_assets/pictures.h"
#include "tools/generate_assets/prng.h"

namespace {

constexpr int ball_count = 30;

struct Ball {
  float x, y, r;
  std::uint32_t seed;
};

constexpr float plate_x = 320.0f, plate_y = 236.0f, plate_rx = 300.0f, plate_ry = 150.0f;

void tablecloth(Canvas& c) {
  for (int y = 0; y < Canvas::height; ++y) {
    for (int x = 0; x < Canvas::width; ++x) {
      const float fx = static_cast<float>(x) + 0.5f;
      const float fy = static_cast<float>(y) + 0.5f;
      // Red and white gingham: two sets of soft stripes, darker where they cross.
      const float u = fx / 40.0f - std::floor(fx / 40.0f);
      const float v = fy / 40.0f - std::floor(fy / 40.0f);
      const float su = smoothstep(0.46f, 0.54f, u) * (1.0f - smoothstep(0.96f, 1.0f, u));
      const float sv = smoothstep(0.46f, 0.54f, v) * (1.0f - smoothstep(0.96f, 1.0f, v));
      const float red = 0.5f * (su + sv);
      const Rgb cloth = mix(rgb8(235, 225, 210), rgb8(170, 20, 30), red);
      // Vignette towards the corners.
      const float dx = (fx - 320.0f) / 400.0f, dy = (fy - 200.0f) / 300.0f;
      c.at(x, y) = cloth * (1.0f - 0.6f * clamp01(dx * dx + dy * dy));
    }
  }
}

void plate(Canvas& c) {
  for (int y = 0; y < Canvas::height; ++y) {
    for (int x = 0; x < Canvas::width; ++x) {
      const float dx = (static_cast<float>(x) + 0.5f - plate_x) / plate_rx;
      const float dy = (static_cast<float>(y) + 0.5f - plate_y) / plate_ry;
      const float d = std::sqrt(dx * dx + dy * dy);  // 1 on the rim
      // Shadow under the plate, then the rim, then the well.
      const float sdx = dx - 0.02f, sdy = dy - 0.08f;
      c.blend(x, y, Rgb{0, 0, 0},
              0.45f * (1.0f - smoothstep(0.95f, 1.08f, std::sqrt(sdx * sdx + sdy * sdy))));
      const float edge = clamp01((1.0f - d) * plate_ry + 0.5f);
      const float rim = smoothstep(0.74f, 0.8f, d);
      const float light = 0.78f + 0.22f * clamp01(0.5f - 0.6f * dy - 0.3f * dx);
      const Rgb well = rgb8(236, 236, 228) * (0.86f + 0.14f * smoothstep(0.8f, 0.3f, d));
      const Rgb rim_col = mix(rgb8(250, 250, 245), rgb8(40, 80, 150),
                              smoothstep(0.86f, 0.9f, d) * (1.0f - smoothstep(0.93f, 0.97f, d)));
      c.blend(x, y, mix(well, rim_col, rim) * light, edge);
    }
  }
}

void place_balls(Ball* balls) {
  Prng rng(0xBA115u);
  int placed = 0;
  float spacing = 0.85f;
  int tries = 0;
  while (placed < ball_count) {
    Ball b{};
    b.r = rng.range(24.0f, 36.0f);
    const float a = rng.range(-1.0f, 1.0f), e = rng.range(-1.0f, 1.0f);
    b.x = plate_x + a * (plate_rx * 0.78f - b.r);
    b.y = plate_y + e * (plate_ry * 0.7f - b.r);
    b.seed = rng.next();
    const float ex = (b.x - plate_x) / (plate_rx * 0.78f),
                ey = (b.y - plate_y) / (plate_ry * 0.78f);
    bool ok = ex * ex + ey * ey < 1.0f;
    for (int i = 0; ok && i < placed; ++i) {
      const float dx = balls[i].x - b.x, dy = balls[i].y - b.y;
      const float min = spacing * (balls[i].r + b.r);
      ok = dx * dx + dy * dy >= min * min;
    }
    if (ok) balls[placed++] = b;
    if (++tries % 2000 == 0) spacing -= 0.05f;  // crowd them a little more if the plate is full
  }
  // Paint from the back of the plate to the front.
  std::sort(balls, balls + ball_count, [](const Ball& p, const Ball& q) { return p.y < q.y; });
}

void shadow(Canvas& c, const Ball& b) {
  const float cx = b.x + 0.35f * b.r, cy = b.y + 0.7f * b.r;
  for (int y = static_cast<int>(cy - b.r); y <= static_cast<int>(cy + b.r); ++y) {
    for (int x = static_cast<int>(cx - 1.5f * b.r); x <= static_cast<int>(cx + 1.5f * b.r); ++x) {
      const float dx = (static_cast<float>(x) + 0.5f - cx) / (1.2f * b.r);
      const float dy = (static_cast<float>(y) + 0.5f - cy) / (0.5f * b.r);
      c.blend(x, y, rgb8(30, 10, 0), 0.55f * (1.0f - smoothstep(0.3f, 1.0f, dx * dx + dy * dy)));
    }
  }
}

void meatball(Canvas& c, const Ball& b) {
  const float lx = -0.5f, ly = -0.62f, lz = 0.6f;  // unit light from the upper left
  const float hl = std::sqrt(lx * lx + ly * ly + (lz + 1.0f) * (lz + 1.0f));
  const float ox = static_cast<float>(b.seed & 0xFF), oy = static_cast<float>((b.seed >> 8) & 0xFF);
  for (int y = static_cast<int>(b.y - b.r) - 1; y <= static_cast<int>(b.y + b.r) + 1; ++y) {
    for (int x = static_cast<int>(b.x - b.r) - 1; x <= static_cast<int>(b.x + b.r) + 1; ++x) {
      const float dx = static_cast<float>(x) + 0.5f - b.x;
      const float dy = static_cast<float>(y) + 0.5f - b.y;
      const float d = std::sqrt(dx * dx + dy * dy);
      const float cov = clamp01(b.r + 0.5f - d);
      if (cov <= 0.0f) continue;
      float nx = dx / b.r, ny = dy / b.r;
      float nz = std::sqrt(clamp01(1.0f - nx * nx - ny * ny));
      // Lumpy minced surface: noise bumps tilt the normal.
      const float s = 3.5f / b.r;
      const float n0 = value_noise(ox + dx * s, oy + dy * s, b.seed);
      const float nxp = value_noise(ox + (dx + 1.0f) * s, oy + dy * s, b.seed);
      const float nyp = value_noise(ox + dx * s, oy + (dy + 1.0f) * s, b.seed);
      const float fine = 0.5f * (value_noise(ox + dx * 0.3f, oy + dy * 0.3f, b.seed ^ 0x55u) +
                                 value_noise(ox + dx * 0.61f, oy + dy * 0.61f, b.seed ^ 0xAAu));
      nx -= 0.9f * (nxp - n0) * b.r / 6.0f;
      ny -= 0.9f * (nyp - n0) * b.r / 6.0f;
      const float nl = std::sqrt(nx * nx + ny * ny + nz * nz);
      nx /= nl;
      ny /= nl;
      nz /= nl;
      const float diffuse = clamp01(nx * lx + ny * ly + nz * lz);
      float sheen = clamp01((nx * lx + ny * ly + nz * (lz + 1.0f)) / hl);
      for (int i = 0; i < 4; ++i) sheen *= sheen;  // 16th power: a greasy sheen
      const Rgb albedo = mix(mix(rgb8(70, 30, 14), rgb8(150, 80, 40), n0), rgb8(40, 16, 6),
                             0.6f * smoothstep(0.45f, 0.85f, fine));
      const float rim = 1.0f - 0.35f * smoothstep(0.75f, 1.0f, d / b.r);
      const Rgb lit =
          albedo * ((0.22f + 1.05f * diffuse) * rim) + rgb8(255, 230, 190) * (0.45f * sheen);
      c.blend(x, y, lit, cov);
    }
  }
}

}  // namespace

void paint_balls(Canvas& c) {
  tablecloth(c);
  plate(c);
  Ball balls[ball_count];
  place_balls(balls);
  for (const Ball& b : balls) shadow(c, b);
  for (const Ball& b : balls) meatball(c, b);
}
