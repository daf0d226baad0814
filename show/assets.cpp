#include "show/assets.h"

#include <bit>
#include <cstddef>
#include <cstdio>

#include <sys/stat.h>

#include "render/font_atlas.h"

// Picture files are read straight into their buffers, so a pixel's file bytes R, G, B, x become the
// value 0xXXBBGGRR before the swap.
static_assert(std::endian::native == std::endian::little,
              "the raw files are read on little-endian hosts");

std::uint32_t logo_image[screen_pixels];
std::uint32_t presents_image[screen_pixels];
std::uint32_t title_image[screen_pixels];
std::uint32_t balls_image[screen_pixels];

namespace {

// Reads up to the buffer's size; whatever the file does not supply keeps its old value. A file that
// cannot be opened, and anything that is not a regular file (a pipe would block the start for good,
// a device never end), reads as an empty one.
void read_raw_file(const char* name, std::uint32_t* buffer, std::size_t pixels) {
  struct stat status {};
  if (stat(name, &status) != 0 || !S_ISREG(status.st_mode)) return;
  std::FILE* file = std::fopen(name, "rb");
  if (file == nullptr) return;
  // Byte-sized elements, so a file that ends inside a pixel still delivers its last bytes.
  const std::size_t bytes_read = std::fread(buffer, 1, pixels * sizeof(std::uint32_t), file);
  static_cast<void>(bytes_read);
  std::fclose(file);
}

}  // namespace

void load_assets() {
  read_raw_file("drumvelk.raw", logo_image, screen_pixels);
  read_raw_file("presents.raw", presents_image, screen_pixels);
  read_raw_file("quillmar.raw", title_image, screen_pixels);
  read_raw_file("zadadodovoze.raw", font_atlas, atlas_pixels);
  read_raw_file("balls.raw", balls_image, screen_pixels);

  // The font is only ever tested for ink, so it stays as read.
  for (std::size_t i = 0; i < screen_pixels; ++i) {
    logo_image[i] = swap_red_blue(logo_image[i]);
    presents_image[i] = swap_red_blue(presents_image[i]);
    title_image[i] = swap_red_blue(title_image[i]);
    balls_image[i] = swap_red_blue(balls_image[i]);
  }
}
