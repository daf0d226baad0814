// Background layers shared by the pictures: sky gradients, starfields, copper bars.
#pragma once

#include <cstdint>

#include "tools/generate_assets/canvas.h"

struct Rect {
  int left, top, right, bottom;  // inclusive
  bool contains(float x, float y, float margin) const {
    return x >= static_cast<float>(left) - margin && x <= static_cast<float>(right) + margin &&
           y >= static_cast<float>(top) - margin && y <= static_cast<float>(bottom) + margin;
  }
};

// Fills rows y0..y1 with a vertical gradient through the stops.
void vertical_gradient(Canvas& c, int y0, int y1, const Rgb* stops, int count);

// Scatters stars of three depths over rows y0..y1, keeping clear of keep_clear by a few pixels.
void starfield(Canvas& c, std::uint32_t seed, int count, int y0, int y1, const Rect& keep_clear);

// A horizontal copper bar: bright in the middle, fading to its edges, mixed over what is there.
void copper_bar(Canvas& c, float centre_y, float half_height, Rgb colour, float alpha);
