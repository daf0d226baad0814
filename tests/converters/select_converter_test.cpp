// Converters are chosen by exact format: every bit of every mask and the bit count must match.
// (That each exact format gets the right converter: the converter row tests, which take it so.)
#include <gtest/gtest.h>

#include <cstdint>

#include "display/pixel_converters.h"
#include "tests/support/layout_oracle.h"

namespace {

TEST(SelectConverter, OnlyAnExactFormatGetsAConverter) {
  for (const layout_oracle::Entry& e : layout_oracle::entries()) {
    SCOPED_TRACE(e.name);
    const std::uint32_t bits = 8u * static_cast<std::uint32_t>(e.bytes);
    const std::uint32_t masks[] = {layout_oracle::mask(e.red), layout_oracle::mask(e.green),
                                   layout_oracle::mask(e.blue)};
    for (int flip = 0; flip < 3 * 32; ++flip) {
      std::uint32_t m[] = {masks[0], masks[1], masks[2]};
      m[flip / 32] ^= std::uint32_t{1} << (flip % 32);
      EXPECT_EQ(select_converter(bits, m[0], m[1], m[2]), nullptr) << "bit " << flip;
    }
    // The 32- and 24-bit layouts share their masks; 15-bit surfaces report 555 under 16.
    for (std::uint32_t other = 0; other <= 64; ++other) {
      if (other == bits || (bits != 16 && (other == 24 || other == 32))) continue;
      EXPECT_EQ(select_converter(other, masks[0], masks[1], masks[2]), nullptr) << other << " bits";
    }
  }
}

}  // namespace
