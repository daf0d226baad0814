// Loading the data files: each fills its own buffer from the top with the bytes it has, pictures
// with red and blue exchanged, and whatever a file does not supply stays black.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

#include "render/font_atlas.h"
#include "render/framebuffer.h"
#include "render/primitives.h"
#include "show/assets.h"
#include "tests/show/test_assets.h"
#include "tests/support/display_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Which files are there and what each holds.
struct FileCase {
  const char* name;
  std::function<Bytes(int file)> contents;  // files 0-3 the pictures, 4 the font
  std::function<bool(int file)> present;
};

const std::uint32_t* const buffers[5] = {logo_image, presents_image, title_image, balls_image,
                                         font_atlas};
const std::size_t capacity[5] = {screen_pixels * 4, screen_pixels * 4, screen_pixels * 4,
                                 screen_pixels * 4, atlas_pixels * 4};

Bytes full(int file) {
  return file < 4 ? test_assets::picture_file(file) : test_assets::atlas_file();
}
bool all(int) { return true; }

// The buffer a file must give: its bytes up to the buffer's size, zero after; a picture's pixel
// R, G, B, x becomes 0xXXRRGGBB, the font keeps the file's bytes.
std::vector<std::uint32_t> expected_buffer(const Bytes& bytes, int file) {
  Bytes padded(capacity[file], 0);
  std::memcpy(padded.data(), bytes.data(), std::min(bytes.size(), padded.size()));
  std::vector<std::uint32_t> out(capacity[file] / 4);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::uint8_t* p = &padded[i * 4];
    out[i] = file < 4 ? (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[0]} << 16) |
                            (std::uint32_t{p[1]} << 8) | p[2]
                      : (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[2]} << 16) |
                            (std::uint32_t{p[1]} << 8) | p[0];
  }
  return out;
}

class Loading : public ::testing::TestWithParam<FileCase> {};

TEST_P(Loading, EachBufferHoldsWhatItsFileSupplies) {
  test_assets::clear_asset_buffers();
  test_assets::WorkingDirectory directory;
  Bytes written[5];
  for (int file = 0; file < 5; ++file) {
    if (!GetParam().present(file)) continue;
    written[file] = GetParam().contents(file);
    const char* name = file < 4 ? test_assets::picture_names[file] : test_assets::atlas_name;
    test_assets::write_file(directory.path() / name, written[file]);
  }
  load_assets();
  for (int file = 0; file < 5; ++file) {
    const std::vector<std::uint32_t> expected = expected_buffer(written[file], file);
    ASSERT_EQ(0, std::memcmp(buffers[file], expected.data(), capacity[file])) << "file " << file;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, Loading,
    ::testing::Values(FileCase{"AllPresent", full, all},
                      FileCase{"NonePresent", full, [](int) { return false; }},
                      // A missing or empty file does not stop the files after it from being read.
                      FileCase{"MissingLogoEmptyPresents",
                               [](int file) { return file == 1 ? Bytes{} : full(file); },
                               [](int file) { return file != 0; }},
                      FileCase{"HalfTitle",
                               [](int file) {
                                 Bytes bytes = full(file);
                                 if (file == 2) bytes.resize(bytes.size() / 2);
                                 return bytes;
                               },
                               all},
                      // A file that ends inside a pixel still delivers its last bytes.
                      FileCase{"EndsInsideAPixel",
                               [](int file) {
                                 return file == 3 ? Bytes{0x11, 0x22, 0x33, 0x44, 0x55, 0x66}
                                                  : full(file);
                               },
                               all},
                      FileCase{"Overlong",
                               [](int file) {
                                 Bytes bytes = full(file);
                                 bytes.resize(bytes.size() + 4099, 0xEE);
                                 return bytes;
                               },
                               all},
                      FileCase{"ShortFont",
                               [](int file) {
                                 Bytes bytes = full(file);
                                 if (file == 4) bytes.resize(1001);
                                 return bytes;
                               },
                               all}),
    CaseName());

// The spare fourth byte is ink in the font and reaches the framebuffer in pictures.
TEST(LoadedBytes, TheFourthByteCounts) {
  test_assets::clear_asset_buffers();
  test_assets::WorkingDirectory directory;
  Bytes atlas(test_assets::atlas_bytes, 0);
  atlas[33 * 8 * 4 + 3] = 0x80;  // glyph 33, row 0, column 0
  test_assets::write_file(test_assets::atlas_name, atlas);
  test_assets::write_file("balls.raw", {0x11, 0x22, 0x33, 0x44});
  load_assets();
  fill_framebuffer(0x123456);
  draw_glyph(0, 0, 33);
  EXPECT_EQ(framebuffer[0], 0xFFFFFFu);
  EXPECT_EQ(framebuffer[1], 0u);
  copy_image(balls_image);
  EXPECT_EQ(framebuffer[0], 0x44112233u);
}

// Only regular files are read: a directory, a pipe with no writer (which would block the start for
// good), a device and a link loop all read as empty files, and the files after them still load.
TEST(LoadedBytes, WhatIsNotARegularFileReadsAsEmpty) {
  test_assets::clear_asset_buffers();
  test_assets::WorkingDirectory directory;
  directory.write_all_assets();
  const char* const* names = test_assets::picture_names;
  std::filesystem::remove(names[0]);
  std::filesystem::create_directory(names[0]);
  std::filesystem::remove(names[1]);
  ASSERT_EQ(mkfifo(names[1], 0600), 0);
  std::filesystem::remove(names[2]);
  std::filesystem::create_symlink("/dev/urandom", names[2]);
  std::filesystem::remove(test_assets::atlas_name);
  std::filesystem::create_symlink(test_assets::atlas_name, test_assets::atlas_name);
  load_assets();
  for (int file : {0, 1, 2, 4}) {
    const std::vector<std::uint32_t> empty = expected_buffer({}, file);
    EXPECT_EQ(0, std::memcmp(buffers[file], empty.data(), capacity[file])) << "file " << file;
  }
  const std::vector<std::uint32_t> balls = expected_buffer(full(3), 3);
  EXPECT_EQ(0, std::memcmp(balls_image, balls.data(), capacity[3]));
}

}  // namespace
