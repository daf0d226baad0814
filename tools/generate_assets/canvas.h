// A float RGB canvas and the few shading helpers the pictures share. Only + - * / and sqrt are
// used on floats, so every machine rounds the same way and the bytes come out identical.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgb {
  float r = 0, g = 0, b = 0;
};

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }

inline float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }
inline float smoothstep(float e0, float e1, float x) {
  const float t = clamp01((x - e0) / (e1 - e0));
  return t * t * (3.0f - 2.0f * t);
}
inline Rgb mix(Rgb a, Rgb b, float t) { return a * (1.0f - t) + b * t; }
inline Rgb rgb8(int r, int g, int b) {
  return {static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f,
          static_cast<float>(b) / 255.0f};
}

// Colour at t in [0,1] along evenly spaced stops.
Rgb gradient(const Rgb* stops, int count, float t);

// Smooth value noise in [0,1] with one lattice cell per unit.
float value_noise(float x, float y, std::uint32_t seed);

class Canvas {
 public:
  static constexpr int width = 640;
  static constexpr int height = 400;

  Canvas() : px_(static_cast<std::size_t>(width) * height) {}

  Rgb& at(int x, int y) { return px_[static_cast<std::size_t>(y) * width + x]; }
  const Rgb& at(int x, int y) const { return px_[static_cast<std::size_t>(y) * width + x]; }

  // Paints colour over pixel (x, y) with opacity alpha; outside the canvas does nothing.
  void blend(int x, int y, Rgb colour, float alpha);

  // Soft round dot: full opacity inside radius, fading out over one pixel.
  void dot(float cx, float cy, float radius, Rgb colour, float alpha);

  // File bytes: red, green, blue, 0 per pixel, rows top to bottom.
  std::vector<std::uint8_t> raw_bytes() const;

 private:
  std::vector<Rgb> px_;
};

std::uint8_t to_byte(float v);
