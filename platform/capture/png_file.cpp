#include "platform/capture/png_file.h"

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace capture {
namespace {

// ".NAME.XXXXXX" beside `path`, for mkstemp. Out of line: GCC 12 warns wrongly about these appends
// when they are inlined.
[[gnu::noinline]] std::string partial_name(const std::filesystem::path& path) {
  std::string name = ".";
  name += path.filename().string();
  name += ".XXXXXX";
  return (path.parent_path() / name).string();
}

}  // namespace

bool write_png_rgb(const std::filesystem::path& path, const std::uint8_t* rgb, int width,
                   int height, std::string& error) {
  // A fresh name of our own, so that nothing already there (a link, say) is written through.
  std::string partial = partial_name(path);
  const int descriptor = mkstemp(partial.data());
  if (descriptor < 0) {
    error = std::strerror(errno);
    return false;
  }
  std::FILE* file = fdopen(descriptor, "wb");
  if (file == nullptr) {
    error = std::strerror(errno);
    close(descriptor);
    std::remove(partial.c_str());
    return false;
  }

  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  errno = 0;
  const bool encoded = png_image_write_to_stdio(&image, file, 0, rgb, width * 3, nullptr) != 0;
  int reason = encoded ? 0 : errno;
  if (std::fclose(file) != 0 && reason == 0) reason = errno;  // the last bytes reach the disk here
  if (!encoded || reason != 0) {
    error = reason != 0 ? std::strerror(reason) : image.message;
    png_image_free(&image);
    std::remove(partial.c_str());
    return false;
  }
  // mkstemp makes the file private; a frame is as readable as any file the user makes.
  const mode_t mask = umask(0);
  umask(mask);
  chmod(partial.c_str(), 0666 & ~mask);
  if (std::rename(partial.c_str(), path.c_str()) != 0) {
    error = std::strerror(errno);
    std::remove(partial.c_str());
    return false;
  }
  return true;
}

}  // namespace capture
