// On 32-bit x86 the MMX registers are the x87 registers: a converter that left the MMX state set
// would make the next floating-point code compute garbage. Long double keeps this on the x87 unit
// wherever it exists.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/converters/reference_layouts.h"

namespace {

// Several values on the x87 stack at once; volatile keeps it all at run time.
long double x87_work() {
  volatile long double values[] = {0.5L, 1.25L, 2.0L, 4.125L, 8.0625L};
  long double sum = 0.0L;
  long double product = 1.0L;
  for (const volatile long double& v : values) {
    sum += v;
    product *= v;
  }
  return sum * 4.0L + product;
}

constexpr long double x87_result = 63.75L + 41.572265625L;

class FpuAfterConverter : public testing::TestWithParam<reference::Layout> {};

TEST_P(FpuAfterConverter, FloatingPointWorksAfterEveryRowLength) {
  const reference::Layout& layout = GetParam();
  ASSERT_EQ(x87_work(), x87_result);
  const std::vector<std::uint32_t> source(640, 0x00A0B0C0u);
  std::vector<std::uint8_t> destination(640 * 4);
  for (const std::int32_t count : {0, 1, 3, 16, 17, 640, -5}) {
    layout.converter(source.data(), destination.data(), count);
    EXPECT_EQ(x87_work(), x87_result) << "count " << count;
  }
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, FpuAfterConverter, testing::ValuesIn(reference::layouts()),
                         [](const testing::TestParamInfo<reference::Layout>& test) {
                           return reference::name_of(test.param);
                         });

TEST(FpuAfterCopyRow, FloatingPointWorksAfterEveryByteCount) {
  std::vector<std::uint8_t> source(200, 0x42);
  std::vector<std::uint8_t> destination(200);
  for (const std::uint32_t byte_count : {0u, 5u, 64u, 130u}) {
    copy_row_mmx(destination.data(), source.data(), byte_count);
    EXPECT_EQ(x87_work(), x87_result) << byte_count << " bytes";
  }
}

}  // namespace
