#include "tests/capture/png_reader.h"

#include <png.h>

#include <cstring>

Picture read_png(const std::string& path) {
  Picture picture;
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
    picture.error = image.message;
    return picture;
  }
  picture.rgb8 = image.format == PNG_FORMAT_RGB;
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> bytes(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr) == 0) {
    picture.error = image.message;
    png_image_free(&image);
    return picture;
  }
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.pixels.resize(static_cast<std::size_t>(picture.width) *
                        static_cast<std::size_t>(picture.height));
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    const std::uint8_t* p = &bytes[i * 3];
    picture.pixels[i] = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
  }
  return picture;
}
