#include "platform/capture/png_file.h"

#include <png.h>

#include <cerrno>
#include <cstring>

#include "platform/capture/output_file.h"

namespace capture {

bool write_png_rgb(const std::filesystem::path& path, const std::uint8_t* rgb, int width,
                   int height, std::string& error) {
  OutputFile output;
  if (!output.open(path)) {
    error = output.error();
    return false;
  }
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  errno = 0;
  if (png_image_write_to_stdio(&image, output.file(), 0, rgb, width * 3, nullptr) == 0) {
    error = errno != 0 ? std::strerror(errno) : image.message;
    png_image_free(&image);
    return false;
  }
  if (!output.finish()) {
    error = output.error();
    return false;
  }
  return true;
}

}  // namespace capture
