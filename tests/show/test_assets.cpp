#include "tests/show/test_assets.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "render/font_atlas.h"
#include "render/framebuffer.h"
#include "show/assets.h"

namespace test_assets {

const char* const picture_names[4] = {"drumvelk.raw", "presents.raw", "quillmar.raw", "balls.raw"};
const char* const atlas_name = "zadadodovoze.raw";

std::vector<std::uint8_t> picture_file(int k) {
  std::vector<std::uint8_t> bytes(picture_bytes);
  for (int y = 0; y < 400; ++y) {
    for (int x = 0; x < 640; ++x) {
      std::uint8_t* p = &bytes[(static_cast<std::size_t>(y) * 640 + x) * 4];
      p[0] = static_cast<std::uint8_t>(x * 3 + k * 61);
      p[1] = static_cast<std::uint8_t>(y * 5 + k * 29);
      p[2] = static_cast<std::uint8_t>((x ^ y) + k * 97);
      p[3] = static_cast<std::uint8_t>(k * 50 + 7 + (x & 3));
    }
  }
  return bytes;
}

std::vector<std::uint32_t> pixels_of(const std::vector<std::uint8_t>& file) {
  std::vector<std::uint32_t> out(file.size() / 4);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::uint8_t* p = &file[i * 4];
    out[i] = (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[0]} << 16) |
             (std::uint32_t{p[1]} << 8) | p[2];
  }
  return out;
}

std::vector<std::uint8_t> atlas_file() {
  std::vector<std::uint8_t> bytes(atlas_bytes);
  for (int row = 0; row < 16; ++row) {
    for (int g = 0; g < 91; ++g) {
      for (int column = 0; column < 8; ++column) {
        if (!glyph_ink(g, column, row)) continue;
        std::uint8_t* p = &bytes[(static_cast<std::size_t>(row) * 728 + g * 8 + column) * 4];
        p[(column + row) % 4] = static_cast<std::uint8_t>(1 + g);
      }
    }
  }
  return bytes;
}

void write_file(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

WorkingDirectory::WorkingDirectory() : previous_(std::filesystem::current_path()) {
  std::string pattern = (std::filesystem::temp_directory_path() / "show-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  path_ = pattern;
  std::filesystem::current_path(path_);
}

WorkingDirectory::~WorkingDirectory() {
  std::filesystem::current_path(previous_);
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void write_assets(const std::filesystem::path& directory) {
  for (int k = 0; k < 4; ++k) write_file(directory / picture_names[k], picture_file(k));
  write_file(directory / atlas_name, atlas_file());
}

void clear_asset_buffers() {
  for (std::uint32_t* picture : {logo_image, presents_image, title_image, balls_image}) {
    std::fill(picture, picture + screen_pixels, 0u);
  }
  std::fill(font_atlas, font_atlas + atlas_pixels, 0u);
  std::fill(framebuffer, framebuffer + screen_pixels, 0u);
}

}  // namespace test_assets
