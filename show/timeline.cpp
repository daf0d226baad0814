#include "show/timeline.h"

#include <cstdint>

#include "render/primitives.h"
#include "show/assets.h"
#include "show/show_main.h"

const char* const message_lines[message_line_count] = {
    "  (THE ONLY DEMOGROUP OF SIGNIFICANCE)  ", "  (DARN PROUD TO PRESENT YOU ASWELL...) ",
    " (THE DEFINITE WINNER OF GLOBFEAST 2002)", " FIRST WE PREZENT0R A W0RLDZOR RECORDZOR",
    " SOMETHING THAT WILL MAKE YOU SHOCKED...", " 'COZ YOU NEVER THOUGHT IT'D BE POSSIBLE",
    " 256001 DOTS AT SAME TIME!!!            ", "OFCOURZ,SINZE THERE'S ONLY 256000 PIXLEZ",
    "ON THE SCREEN, IT'Z HARD TO ZEE THE     ", "MOVEMENTZ00R! BUT IT REALLY ROCKZ!!!    ",
    "COMING UP, ZOME NIZE RASTAHBAARZ0RZ!!!  ", "AND AS A GREAT ENDZ00R WE'LL SHOW OFF   ",
    "GREAT METABALLZ!! 30 OF THEM!!! AND IT'S", "QUITE SOME SPAGHETTI-CODE I MAY ADD...  ",
    "VOTE FOR UZ!! WE SIMPLY RULE!!!         ", "OOOPS!!! DID WE SAY METABALLZORS!?      ",
    "OFCORZ WE MEANT MEATBALLS!! AND WE DIDN'", "SAY THEY'D MOVE EITHER!!!               ",
    "GREETINGZ AND CREDZ COMING UP:          ", "CODE    : QVO                           ",
    "MUZACK  : TIN WALRUS                    ", "GFX     : QVO                           ",
    "...... AND GREETZ FLY OUT TO .....      ", "ORLAND MOOP, GORM TWILLET, FRIM SOLTE,  ",
    "ZORBLE, NUMPO, TAVIK PELLOR, AND ALL    ", "OTHER PEOPLE CONTRIBUTING TO MAKE A HELL",
    "OF AN INTERESTING WORLD! VOTE FOR US!!! ",
};

namespace {

enum class SceneKind { picture, caption, text_page, white, raster_bars };

struct Scene {
  std::uint32_t lo;  // the scene is drawn for lo < frame < hi
  std::uint32_t hi;
  SceneKind kind;
  const std::uint32_t* picture;  // picture and caption scenes
  int line;                      // caption, or first line of a text page
  int y;                         // caption row
};

constexpr int page_first_line(int page) { return 3 + 4 * (page - 1); }

const Scene scenes[] = {
    {0, 150, SceneKind::picture, logo_image, 0, 0},
    {151, 300, SceneKind::caption, logo_image, 0, 300},
    {301, 450, SceneKind::picture, presents_image, 0, 0},
    {451, 600, SceneKind::caption, presents_image, 1, 300},
    {601, 750, SceneKind::picture, title_image, 0, 0},
    {751, 900, SceneKind::caption, title_image, 2, 180},
    {901, 1400, SceneKind::text_page, nullptr, page_first_line(1), 0},
    {1401, 2000, SceneKind::white, nullptr, 0, 0},
    {2001, 2500, SceneKind::text_page, nullptr, page_first_line(2), 0},
    {2501, 3000, SceneKind::raster_bars, nullptr, 0, 0},
    {3001, 3500, SceneKind::text_page, nullptr, page_first_line(3), 0},
    {3501, 4000, SceneKind::picture, balls_image, 0, 0},
    {4001, 4500, SceneKind::text_page, nullptr, page_first_line(4), 0},
    {4501, 5000, SceneKind::text_page, nullptr, page_first_line(5), 0},
    {5001, 5500, SceneKind::text_page, nullptr, page_first_line(6), 0},
};

// The raster bars are cut short: from this frame the show skips ahead.
constexpr std::uint32_t jump_from = 2650;
constexpr std::uint32_t jump_to = 2950;

constexpr int page_rows[4] = {180, 200, 220, 240};

void draw(const Scene& scene) {
  switch (scene.kind) {
    case SceneKind::picture:
      copy_image(scene.picture);
      break;
    case SceneKind::caption:
      copy_image(scene.picture);
      draw_text_line(message_lines[scene.line], scene.y);
      break;
    case SceneKind::text_page:
      fill_framebuffer(colour_black);
      for (int i = 0; i < 4; ++i) draw_text_line(message_lines[scene.line + i], page_rows[i]);
      break;
    case SceneKind::white:
      fill_framebuffer(colour_white);
      break;
    case SceneKind::raster_bars:
      if (frame_counter == jump_from) frame_counter = jump_to;
      draw_raster_bars();
      break;
  }
}

}  // namespace

void draw_scene() {
  // Every scene is tested on its own against the counter as it stands, so the jump is seen by the
  // scenes after the bars.
  for (const Scene& scene : scenes) {
    if (scene.lo < frame_counter && frame_counter < scene.hi) draw(scene);
  }
}
