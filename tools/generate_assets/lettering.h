// Big letterforms: the 8x16 font scaled up through a smooth field, then shaded as bevelled metal.
#pragma once

#include "tools/generate_assets/canvas.h"

struct BigText {
  const char* text;
  float left;         // canvas x of the first glyph cell's left edge
  float top;          // canvas y of the glyph cells' top edge
  float cell_width;   // canvas pixels per font pixel, across
  float cell_height;  // and down
};

// Smoothed ink of the text at canvas point (x, y): 0 far outside, 1 deep inside, 0.5 on the edge.
float text_field(const BigText& t, float x, float y);

// Width and height of the text's cell box in canvas pixels.
float text_width(const BigText& t);
float text_height(const BigText& t);

struct LetterStyle {
  const Rgb* face;  // vertical gradient stops over the letter height
  int face_stops;
  Rgb outline;
  float shadow_dx, shadow_dy;  // drop shadow offset in pixels
  float shadow_alpha;
};

// Draws the text with shadow, dark outline, bevel lighting from the upper left, and edge smoothing.
void draw_big_text(Canvas& c, const BigText& t, const LetterStyle& style);
