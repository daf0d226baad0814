// Loading the data files: each fills its own buffer from the top with the bytes it has, pictures
// with red and blue exchanged and the spare fourth byte kept, and whatever a file does not supply
// stays black. Only regular files are read: anything else reads as an empty file, without waiting.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <vector>

#include "render/font_atlas.h"
#include "render/framebuffer.h"
#include "show/assets.h"
#include "tests/show/test_assets.h"
#include "tests/support/display_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// What stands at a data file's name: the test file cut or grown (with 0xEE) to `size` bytes, or
// something else.
enum class Kind { regular, missing, directory, pipe, device, link_loop };
struct File {
  Kind kind = Kind::regular;
  long size = -1;  // -1: the whole test file
};
struct FileCase {
  const char* name;
  File files[5];  // the four pictures, then the font
};

const std::uint32_t* const buffers[5] = {logo_image, presents_image, title_image, balls_image,
                                         font_atlas};
const std::size_t capacity[5] = {screen_pixels * 4, screen_pixels * 4, screen_pixels * 4,
                                 screen_pixels * 4, atlas_pixels * 4};

// The buffer a file's bytes must give: up to the buffer's size, zero after; the font keeps the
// file's bytes, a picture's pixel R, G, B, x becomes 0xXXRRGGBB.
std::vector<std::uint32_t> expected_buffer(Bytes bytes, int file) {
  bytes.resize(capacity[file], 0);
  if (file < 4) return test_assets::pixels_of(bytes);
  std::vector<std::uint32_t> out(capacity[file] / 4);
  std::memcpy(out.data(), bytes.data(), bytes.size());
  return out;
}

class Loading : public ::testing::TestWithParam<FileCase> {};

TEST_P(Loading, EachBufferHoldsWhatItsFileSupplies) {
  test_assets::clear_asset_buffers();
  test_assets::WorkingDirectory directory;
  std::vector<std::uint32_t> expected[5];
  for (int file = 0; file < 5; ++file) {
    const File& f = GetParam().files[file];
    const char* name = file < 4 ? test_assets::picture_names[file] : test_assets::atlas_name;
    Bytes bytes = file < 4 ? test_assets::picture_file(file) : test_assets::atlas_file();
    if (f.size >= 0) bytes.resize(static_cast<std::size_t>(f.size), 0xEE);
    switch (f.kind) {
      case Kind::regular:
        test_assets::write_file(name, bytes);
        break;
      case Kind::missing:
        break;
      case Kind::directory:
        std::filesystem::create_directory(name);
        break;
      case Kind::pipe:  // no writer: opening it would wait for good
        ASSERT_EQ(mkfifo(name, 0600), 0);
        break;
      case Kind::device:
        std::filesystem::create_symlink("/dev/urandom", name);
        break;
      case Kind::link_loop:
        std::filesystem::create_symlink(name, name);
        break;
    }
    if (f.kind != Kind::regular) bytes.clear();
    expected[file] = expected_buffer(bytes, file);
  }
  load_assets();
  for (int file = 0; file < 5; ++file) {
    EXPECT_EQ(0, std::memcmp(buffers[file], expected[file].data(), capacity[file])) << file;
  }
}

constexpr long picture = 640 * 400 * 4;
constexpr long font = 728 * 16 * 4;
constexpr File whole;
constexpr File missing{Kind::missing};

INSTANTIATE_TEST_SUITE_P(
    Files, Loading,
    ::testing::Values(
        FileCase{"AllPresent", {}},
        FileCase{"NonePresent", {missing, missing, missing, missing, missing}},
        // A missing or empty file does not stop the files after it from being read.
        FileCase{"MissingLogoEmptyPresents", {missing, {Kind::regular, 0}, whole, whole, whole}},
        FileCase{"HalfTitle", {whole, whole, {Kind::regular, picture / 2}, whole, whole}},
        // A file that ends inside a pixel still delivers its last bytes.
        FileCase{"EndsInsideAPixel", {whole, whole, whole, {Kind::regular, 6}, whole}},
        FileCase{"ShortFont", {whole, whole, whole, whole, {Kind::regular, 1001}}},
        FileCase{"Overlong",
                 {{Kind::regular, picture + 4099},
                  {Kind::regular, picture + 4},
                  whole,
                  whole,
                  {Kind::regular, font + 4099}}},
        FileCase{"NotRegularFiles",
                 {{Kind::directory}, {Kind::pipe}, {Kind::device}, whole, {Kind::link_loop}}}),
    CaseName());

}  // namespace
