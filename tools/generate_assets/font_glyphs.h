// The show's 8x16 bitmap font as readable glyph pictures, for the codes 32 to 122.
#pragma once

constexpr int font_glyph_count = 91;
constexpr int font_glyph_rows = 16;
constexpr int font_glyph_columns = 8;
constexpr int font_first_code = 32;

extern const char* const font_glyphs[font_glyph_count][font_glyph_rows];

// True when the glyph for code has ink at (column, row); false for codes outside the font.
bool glyph_ink(int code, int column, int row);
