// The program's icon: the logo's first letter in chrome over its sunset, painted afresh at each
// size Windows shows it at, so that strokes fall on whole pixels even at 16x16.
#pragma once

#include <cstdint>
#include <vector>

struct IconImage {
  int size = 0;                    // pixels across and down
  std::vector<std::uint8_t> rgba;  // red, green, blue, alpha (not premultiplied), rows top down
};

// The icon at 16, 32 and 48 pixels, smallest first.
std::vector<IconImage> icon_images();

// The icon at the sizes Linux desktops take from their icon theme: 16, 32 and 48 as above, then
// 64, 128 and 256 drawn to the 48-pixel layout's proportions.
std::vector<IconImage> desktop_icon_images();
