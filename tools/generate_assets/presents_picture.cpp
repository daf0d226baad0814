#include "tools/generate_assets/backdrop.h"
#include "tools/generate_assets/lettering.h"
#include "tools/generate_assets/pictures.h"

void paint_presents(Canvas& c) {
  const Rgb space[] = {rgb8(2, 2, 10), rgb8(8, 10, 40), rgb8(20, 8, 44), rgb8(2, 2, 10)};
  vertical_gradient(c, 0, Canvas::height - 1, space, 4);
  // Stars everywhere except where caption 2 will sit.
  starfield(c, 0x9E5E7u, 700, 0, Canvas::height, Rect{180, 300, 499, 315});

  // A stack of copper bars behind the word, cycling through the spectrum.
  const Rgb hues[] = {rgb8(255, 40, 40), rgb8(255, 160, 30), rgb8(240, 240, 60),
                      rgb8(40, 220, 90), rgb8(40, 170, 255), rgb8(150, 70, 255)};
  for (int i = 0; i < 6; ++i) {
    copper_bar(c, 158.0f + 17.0f * static_cast<float>(i), 9.0f, hues[i], 0.55f);
  }

  const Rgb gold[] = {rgb8(90, 40, 10),   rgb8(255, 220, 120), rgb8(255, 250, 220),
                      rgb8(200, 120, 30), rgb8(110, 50, 10),   rgb8(240, 170, 60)};
  const BigText word{"PRESENTS", 96.0f, 150.0f, 7.0f, 6.0f};
  draw_big_text(c, word, LetterStyle{gold, 6, rgb8(20, 6, 0), 5.0f, 6.0f, 0.75f});
}
