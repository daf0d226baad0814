// Asset files for tests: four pictures and a font whose contents are all distinct, written into a
// fresh temporary directory that becomes the working directory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace test_assets {

constexpr std::size_t picture_bytes = 640 * 400 * 4;
constexpr std::size_t atlas_bytes = 728 * 16 * 4;

// Bytes of picture k (0 logo, 1 presents, 2 title, 3 balls) as the file holds them: R, G, B, x.
std::vector<std::uint8_t> picture_file(int k);
// A picture file's bytes R, G, B, x as the framebuffer's pixels 0xXXRRGGBB (whole pixels only).
std::vector<std::uint32_t> pixels_of(const std::vector<std::uint8_t>& file);
// Bytes of the font atlas file: glyph g has its own ink pattern; ink values vary, some only byte 3.
std::vector<std::uint8_t> atlas_file();
inline bool glyph_ink(int g, int column, int row) {
  const std::uint32_t pattern = 0x9E3779B9u * static_cast<std::uint32_t>(g + 1);
  return ((pattern >> ((column + 8 * row) % 32)) & 1u) != 0;
}

void write_file(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
// Writes all five asset files into `directory`.
void write_assets(const std::filesystem::path& directory);

// Makes a temporary directory, enters it, and leaves it (removing it) on destruction.
class WorkingDirectory {
 public:
  WorkingDirectory();
  ~WorkingDirectory();
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;
  void write_all_assets() const { write_assets(path_); }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

// The names of the picture files, in the order logo, presents, title, balls.
extern const char* const picture_names[4];
extern const char* const atlas_name;

// Sets the pictures, atlas and framebuffer back to their process-start zero.
void clear_asset_buffers();

}  // namespace test_assets
