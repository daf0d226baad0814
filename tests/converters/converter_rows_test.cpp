// Every converter against the reference layouts on random rows of every length up to several
// blocks, at every misalignment of source and destination.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>
#include <vector>

#include "display/pixel_converters.h"
#include "tests/converters/reference_layouts.h"
#include "tests/converters/row_buffers.h"

namespace {

using reference::Layout;

std::vector<std::uint32_t> random_pixels(std::mt19937& random, std::size_t count) {
  std::vector<std::uint32_t> pixels(count);
  for (std::uint32_t& p : pixels) p = static_cast<std::uint32_t>(random());  // byte 3 random too
  return pixels;
}

std::vector<std::size_t> row_lengths() {
  std::vector<std::size_t> lengths;
  for (std::size_t n = 0; n <= 40; ++n) lengths.push_back(n);
  lengths.push_back(640);
  return lengths;
}

// Converts the row into a destination filled with 0x00 and again into one filled with 0xFF, so that
// a byte left unwritten cannot match the reference both times.
testing::AssertionResult converts_like_reference(const Layout& layout,
                                                 const std::vector<std::uint32_t>& pixels,
                                                 std::size_t source_offset,
                                                 std::size_t destination_offset) {
  const std::vector<std::uint8_t> expected = reference::row(layout, pixels);
  for (const std::uint8_t fill : {std::uint8_t{0x00}, std::uint8_t{0xFF}}) {
    const rows::Source source(pixels, source_offset);
    rows::Destination destination(expected.size(), destination_offset, fill);
    layout.converter(source.pixels(), destination.start(),
                     static_cast<std::int32_t>(pixels.size()));
    if (!destination.untouched_outside()) {
      return testing::AssertionFailure() << "wrote outside the row";
    }
    const std::vector<std::uint8_t> actual = destination.row();
    for (std::size_t i = 0; i < expected.size(); ++i) {
      if (actual[i] != expected[i]) {
        const std::size_t pixel = i / static_cast<std::size_t>(layout.bytes_per_pixel);
        return testing::AssertionFailure()
               << "byte " << i << " (pixel " << pixel << ", source 0x" << std::hex << pixels[pixel]
               << ") is 0x" << int{actual[i]} << ", expected 0x" << int{expected[i]};
      }
    }
  }
  return testing::AssertionSuccess();
}

class ConverterRows : public testing::TestWithParam<Layout> {};

TEST_P(ConverterRows, MatchReferenceAtEveryLengthAndAlignment) {
  const Layout& layout = GetParam();
  std::mt19937 random(0x5EED0000u + static_cast<unsigned>(layout.bytes_per_pixel));
  for (const std::size_t length : row_lengths()) {
    for (std::size_t source_offset = 0; source_offset < 8; ++source_offset) {
      for (std::size_t destination_offset = 0; destination_offset < 8; ++destination_offset) {
        const std::vector<std::uint32_t> pixels = random_pixels(random, length);
        ASSERT_TRUE(converts_like_reference(layout, pixels, source_offset, destination_offset))
            << "length " << length << ", source offset " << source_offset << ", destination offset "
            << destination_offset;
      }
    }
  }
}

TEST_P(ConverterRows, NegativeCountTouchesNothing) {
  const Layout& layout = GetParam();
  std::mt19937 random(7);
  const std::vector<std::uint32_t> pixels = random_pixels(random, 64);
  const rows::Source source(pixels, 0);
  for (const std::int32_t count : {-1, -7, -640, INT32_MIN}) {
    rows::Destination destination(0, 0, 0x5A);
    layout.converter(source.pixels(), destination.start(), count);
    EXPECT_TRUE(destination.untouched_outside()) << "count " << count;
  }
}

// With nothing to convert the addresses are not used at all.
TEST_P(ConverterRows, EmptyRowUsesNeitherAddress) {
  const Layout& layout = GetParam();
  for (const std::int32_t count : {0, -1, INT32_MIN}) layout.converter(nullptr, nullptr, count);
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, ConverterRows, testing::ValuesIn(reference::layouts()),
                         [](const testing::TestParamInfo<Layout>& test) {
                           return reference::name_of(test.param);
                         });

TEST(CopyRow, CopiesEveryByteCountAtEveryAlignment) {
  std::mt19937 random(64);
  std::vector<std::uint32_t> byte_counts;
  for (std::uint32_t n = 0; n <= 200; ++n) byte_counts.push_back(n);
  byte_counts.push_back(640 * 4);
  for (const std::uint32_t byte_count : byte_counts) {
    for (std::size_t source_offset = 0; source_offset < 8; ++source_offset) {
      for (std::size_t destination_offset = 0; destination_offset < 8; ++destination_offset) {
        std::vector<std::uint8_t> bytes(byte_count);
        for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(random());
        const rows::Source source(bytes.data(), bytes.size(), source_offset);
        rows::Destination destination(byte_count, destination_offset, 0xC3);
        copy_row_mmx(destination.start(), source.bytes(), byte_count);
        ASSERT_TRUE(destination.untouched_outside() && destination.row() == bytes)
            << byte_count << " bytes, source offset " << source_offset << ", destination offset "
            << destination_offset;
      }
    }
  }
}

}  // namespace
