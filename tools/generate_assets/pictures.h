// The show's four pictures, each painted from code.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/generate_assets/canvas.h"

void paint_logo(Canvas& c);      // "drumvelk.raw": the group's logo
void paint_presents(Canvas& c);  // "presents.raw"
void paint_title(Canvas& c);     // "quillmar.raw": the show's title
void paint_balls(Canvas& c);     // "balls.raw": thirty meatballs on a plate

// "zadadodovoze.raw": 91 glyph cells side by side, white ink on zero background.
std::vector<std::uint8_t> font_atlas_bytes();
