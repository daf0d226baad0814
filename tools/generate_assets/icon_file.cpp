#include "tools/generate_assets/icon_file.h"

#include <cstddef>

namespace {

constexpr std::uint32_t directory_bytes = 6;
constexpr std::uint32_t entry_bytes = 16;
constexpr std::uint32_t info_header_bytes = 40;  // BITMAPINFOHEADER

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

// AND mask rows are padded to whole 32-bit words.
std::uint32_t mask_row_bytes(int size) { return static_cast<std::uint32_t>((size + 31) / 32 * 4); }

std::uint32_t image_bytes(int size) {
  const auto s = static_cast<std::uint32_t>(size);
  return info_header_bytes + s * s * 4 + mask_row_bytes(size) * s;
}

void put_image(std::vector<std::uint8_t>& out, const IconImage& image) {
  const auto s = static_cast<std::uint32_t>(image.size);
  put32(out, info_header_bytes);
  put32(out, s);
  put32(out, 2 * s);  // the colour rows and the mask rows
  put16(out, 1);      // planes
  put16(out, 32);     // bits per pixel
  put32(out, 0);      // uncompressed
  put32(out, image_bytes(image.size) - info_header_bytes);
  for (int i = 0; i < 4; ++i) put32(out, 0);  // resolution and palette: unused
  auto pixel = [&](int x, int y) {
    return &image.rgba[(static_cast<std::size_t>(y) * s + static_cast<std::size_t>(x)) * 4];
  };
  for (int y = image.size - 1; y >= 0; --y) {
    for (int x = 0; x < image.size; ++x) {
      const std::uint8_t* p = pixel(x, y);
      const bool clear = p[3] == 0;
      for (int k : {2, 1, 0}) out.push_back(clear ? 0 : p[k]);
      out.push_back(p[3]);
    }
  }
  for (int y = image.size - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(mask_row_bytes(image.size), 0);
    for (int x = 0; x < image.size; ++x) {
      if (pixel(x, y)[3] == 0) row[static_cast<std::size_t>(x / 8)] |= 0x80 >> (x % 8);
    }
    out.insert(out.end(), row.begin(), row.end());
  }
}

}  // namespace

std::vector<std::uint8_t> ico_file_bytes(const std::vector<IconImage>& images) {
  std::vector<std::uint8_t> out;
  const auto count = static_cast<std::uint32_t>(images.size());
  put16(out, 0);  // reserved
  put16(out, 1);  // an icon, not a cursor
  put16(out, count);
  std::uint32_t offset = directory_bytes + entry_bytes * count;
  for (const IconImage& image : images) {
    out.push_back(static_cast<std::uint8_t>(image.size));
    out.push_back(static_cast<std::uint8_t>(image.size));
    out.push_back(0);  // no palette
    out.push_back(0);  // reserved
    put16(out, 1);     // planes
    put16(out, 32);    // bits per pixel
    put32(out, image_bytes(image.size));
    put32(out, offset);
    offset += image_bytes(image.size);
  }
  for (const IconImage& image : images) put_image(out, image);
  return out;
}
