#include "tools/generate_assets/png_preview.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace {

// Four-byte pixels written as RGB (channels 3) or RGBA (channels 4).
bool write_png(const std::string& path, const std::vector<std::uint8_t>& pixels, int width,
               int height, int scale, int channels, std::string& error) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file) {
    error = "cannot open " + path + " for writing";
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, nullptr);
    error = "libpng could not start";
    return false;
  }
  const int out_w = width * scale;
  const int out_h = height * scale;
  const auto step = static_cast<std::size_t>(channels);
  std::vector<png_byte> row(static_cast<std::size_t>(out_w) * step);
  // libpng reports errors by longjmp; nothing here owns resources that would leak past it.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    error = "libpng failed writing " + path;
    return false;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(out_w), static_cast<png_uint_32>(out_h), 8,
               channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < out_h; ++y) {
    for (int x = 0; x < out_w; ++x) {
      const std::size_t src = (static_cast<std::size_t>(y / scale) * width + x / scale) * 4;
      for (std::size_t k = 0; k < step; ++k)
        row[static_cast<std::size_t>(x) * step + k] = pixels[src + k];
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool write_png_preview(const std::string& path, const std::vector<std::uint8_t>& rgbx, int width,
                       int height, int scale, std::string& error) {
  return write_png(path, rgbx, width, height, scale, 3, error);
}

bool write_png_rgba(const std::string& path, const std::vector<std::uint8_t>& rgba, int width,
                    int height, std::string& error) {
  return write_png(path, rgba, width, height, 1, 4, error);
}
