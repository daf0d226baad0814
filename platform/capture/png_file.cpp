#include "platform/capture/png_file.h"

#include <png.h>

#include <cstring>

namespace capture {

bool write_png_rgb(const char* path, const std::uint8_t* rgb, int width, int height,
                   std::string& error) {
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  if (png_image_write_to_file(&image, path, 0, rgb, width * 3, nullptr) != 0) return true;
  error = image.message;
  png_image_free(&image);
  return false;
}

}  // namespace capture
