// Every converter against the reference layouts on random rows of every length up to several
// blocks, and the block copy behind the 32-bit one on every byte count, at every misalignment.
// Each layout's converter is the one chosen for its format, so a wrong choice fails here too.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "display/pixel_converters.h"
#include "tests/converters/row_buffers.h"

namespace {

using layout_oracle::Entry;

class ConverterRows : public testing::TestWithParam<Entry> {};

// Byte 3 of each source pixel is random too.
TEST_P(ConverterRows, MatchReferenceAtEveryLengthAndAlignment) {
  const PixelConverter converter = rows::converter_for(GetParam());
  ASSERT_NE(converter, nullptr);
  std::mt19937 random(0x5EED0000u + static_cast<unsigned>(GetParam().bytes));
  for (std::size_t n = 0; n <= 41; ++n) {
    const std::size_t length = n <= 40 ? n : 640;  // every length through several blocks; a screen
    std::vector<std::uint32_t> pixels(length);
    for (std::uint32_t& p : pixels) p = static_cast<std::uint32_t>(random());
    EXPECT_TRUE(rows::converts_at_every_alignment(
        rows::bytes_of(pixels), rows::reference_row(GetParam(), pixels),
        rows::converting(converter, static_cast<std::int32_t>(length))))
        << "length " << length;
  }
}

// A count of zero or less converts nothing, so neither address is used.
TEST_P(ConverterRows, CountsBelowOneTouchNothing) {
  const PixelConverter converter = rows::converter_for(GetParam());
  ASSERT_NE(converter, nullptr);
  const std::int32_t counts[] = {0, -1, -7, -640, INT32_MIN};
  for (const std::int32_t count : counts) {
    EXPECT_TRUE(rows::converts_at_every_alignment({}, {}, rows::converting(converter, count)))
        << "count " << count;
  }
  // Last, since a converter that used the addresses would crash.
  for (const std::int32_t count : counts) converter(nullptr, nullptr, count);
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, ConverterRows, testing::ValuesIn(layout_oracle::entries()),
                         [](const testing::TestParamInfo<Entry>& test) {
                           return std::string(test.param.name);
                         });

TEST(CopyRow, CopiesEveryByteCountAtEveryAlignment) {
  std::mt19937 random(64);
  for (std::size_t count = 0; count <= 201; ++count) {
    rows::Bytes bytes(count == 201 ? 640 * 4 : count);
    for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(random());
    const auto copy = [&](const void* source, void* destination) {
      copy_row_mmx(destination, source, static_cast<std::uint32_t>(bytes.size()));
    };
    EXPECT_TRUE(rows::converts_at_every_alignment(bytes, bytes, copy)) << bytes.size() << " bytes";
  }
}

}  // namespace
