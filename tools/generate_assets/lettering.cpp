#include "tools/generate_assets/lettering.h"

#include <cmath>
#include <cstring>

#include "tools/generate_assets/font_glyphs.h"

namespace {

constexpr float kernel_radius = 1.3f;  // in font pixels

bool ink_at(const BigText& t, int gx, int gy, int length) {
  if (gx < 0 || gy < 0 || gy >= font_glyph_rows) return false;
  const int index = gx / font_glyph_columns;
  if (index >= length) return false;
  return glyph_ink(static_cast<unsigned char>(t.text[index]), gx % font_glyph_columns, gy);
}

}  // namespace

float text_width(const BigText& t) {
  return static_cast<float>(std::strlen(t.text) * font_glyph_columns) * t.cell_width;
}
float text_height(const BigText& t) { return font_glyph_rows * t.cell_height; }

float text_field(const BigText& t, float x, float y) {
  const int length = static_cast<int>(std::strlen(t.text));
  // Font-pixel coordinates, with pixel centres at integers.
  const float u = (x - t.left) / t.cell_width - 0.5f;
  const float v = (y - t.top) / t.cell_height - 0.5f;
  const int u0 = static_cast<int>(std::floor(u - kernel_radius));
  const int v0 = static_cast<int>(std::floor(v - kernel_radius));
  float ink = 0.0f;
  float total = 0.0f;
  const float r2 = kernel_radius * kernel_radius;
  for (int gy = v0; gy <= v0 + 5; ++gy) {
    for (int gx = u0; gx <= u0 + 5; ++gx) {
      const float dx = u - static_cast<float>(gx);
      const float dy = v - static_cast<float>(gy);
      const float q = 1.0f - (dx * dx + dy * dy) / r2;
      if (q <= 0.0f) continue;
      const float w = q * q;
      total += w;
      if (ink_at(t, gx, gy, length)) ink += w;
    }
  }
  return total > 0.0f ? ink / total : 0.0f;
}

void draw_big_text(Canvas& c, const BigText& t, const LetterStyle& style) {
  const float margin = 4.0f * (t.cell_width + t.cell_height);
  const int x0 = static_cast<int>(t.left - margin);
  const int x1 = static_cast<int>(t.left + text_width(t) + margin);
  const int y0 = static_cast<int>(t.top - margin);
  const int y1 = static_cast<int>(t.top + text_height(t) + margin);
  const float h = text_height(t);
  for (int py = y0; py <= y1; ++py) {
    if (py < 0 || py >= Canvas::height) continue;
    for (int px = x0; px <= x1; ++px) {
      if (px < 0 || px >= Canvas::width) continue;
      const float x = static_cast<float>(px) + 0.5f;
      const float y = static_cast<float>(py) + 0.5f;
      // Soft drop shadow.
      const float s = text_field(t, x - style.shadow_dx, y - style.shadow_dy);
      c.blend(px, py, Rgb{0, 0, 0}, style.shadow_alpha * smoothstep(0.2f, 0.6f, s));

      const float f = text_field(t, x, y);
      const float fx = (text_field(t, x + 0.5f, y) - text_field(t, x - 0.5f, y));
      const float fy = (text_field(t, x, y + 0.5f) - text_field(t, x, y - 0.5f));
      const float grad = std::sqrt(fx * fx + fy * fy);
      // Coverage of the outline (edge at 0.5 pushed out by about 2 px) and of the face.
      const float pad = 2.0f * grad;
      const float g = grad > 1e-4f ? grad : 1e-4f;
      const float outline_cov = clamp01((f - 0.5f + pad) / g + 0.5f);
      const float face_cov = clamp01((f - 0.5f) / g + 0.5f);
      if (outline_cov <= 0.0f) continue;
      c.blend(px, py, style.outline, outline_cov);
      if (face_cov <= 0.0f) continue;

      // Bevel: the field rises from the edge inwards; its slope gives the surface normal.
      const float bevel = 1.0f - smoothstep(0.5f, 0.95f, f);
      const float k = 5.0f * bevel;
      float nx = -fx * k, ny = -fy * k, nz = 1.0f;
      const float nl = std::sqrt(nx * nx + ny * ny + nz * nz);
      nx /= nl;
      ny /= nl;
      nz /= nl;
      const float lx = -0.48f, ly = -0.6f, lz = 0.64f;  // unit light from the upper left
      float diffuse = nx * lx + ny * ly + nz * lz;
      if (diffuse < 0.0f) diffuse = 0.0f;
      // Specular: half vector between light and viewer, raised to the 32nd power by squaring.
      const float hx = lx, hy = ly, hz = lz + 1.0f;
      const float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
      float sheen = clamp01((nx * hx + ny * hy + nz * hz) / hl);
      for (int i = 0; i < 5; ++i) sheen *= sheen;

      const float ty = (y - t.top) / h;
      const Rgb base = gradient(style.face, style.face_stops, ty);
      const Rgb lit = base * (0.35f + 0.9f * diffuse) + Rgb{1, 1, 1} * (0.8f * sheen);
      c.blend(px, py, lit, face_cov);
    }
  }
}
