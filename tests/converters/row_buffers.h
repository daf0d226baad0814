// Runs a converter on rows placed at every misalignment of source and destination, seeing every
// byte it reads and writes, and checks that floating point still works after it; what every
// converter is checked against, written out one pixel at a time from the layout oracle.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "display/pixel_converters.h"
#include "tests/support/layout_oracle.h"

namespace rows {

using Bytes = std::vector<std::uint8_t>;

// The converter the display gets for the layout's exact format.
inline PixelConverter converter_for(const layout_oracle::Entry& e) {
  return select_converter(8u * static_cast<std::uint32_t>(e.bytes), layout_oracle::mask(e.red),
                          layout_oracle::mask(e.green), layout_oracle::mask(e.blue));
}

// The layout's bytes for a row: each channel's top bits where the oracle puts them, in a
// little-endian value; only the straight 32-bit copy carries byte 3 along.
inline Bytes reference_row(const layout_oracle::Entry& e,
                           const std::vector<std::uint32_t>& pixels) {
  Bytes out;
  for (const std::uint32_t pixel : pixels) {
    const auto place = [pixel](int from, layout_oracle::Channel c) {
      return (((pixel >> from) & 0xFFu) >> (8 - c.width)) << c.shift;
    };
    std::uint32_t value = place(16, e.red) | place(8, e.green) | place(0, e.blue);
    if (e.layout == emulated::Layout::xrgb8888) value |= pixel & 0xFF000000u;
    for (int i = 0; i < e.bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  return out;
}

// On x86 the MMX registers are the x87 registers: a converter that left the MMX state set makes
// the next floating-point code compute garbage. Long double keeps this on the x87 unit wherever it
// exists; volatile keeps several values on its stack at run time.
inline bool x87_works() {
  volatile long double values[] = {0.5L, 1.25L, 2.0L, 4.125L, 8.0625L};
  long double sum = 0.0L, product = 1.0L;
  for (const volatile long double& v : values) sum += v, product *= v;
  return sum * 4.0L + product == 63.75L + 41.572265625L;
}

// The bytes of pixels as they lie in memory.
inline Bytes bytes_of(const std::vector<std::uint32_t>& pixels) {
  const auto* start = reinterpret_cast<const std::uint8_t*>(pixels.data());
  return Bytes(start, start + 4 * pixels.size());
}

using Call = std::function<void(const void* source, void* destination)>;

// `converter` on `count` pixels, as a call on placed rows.
inline Call converting(PixelConverter converter, std::int32_t count) {
  return [=](const void* source, void* destination) {
    converter(static_cast<const std::uint32_t*>(source), destination, count);
  };
}

// The source ends exactly at the end of its allocation, so that the address sanitizer catches a
// read past its last byte. The destination lies between guard bytes, all filled first with 0x00
// and then with 0xFF, so that a byte left unwritten cannot match `expected` both times.
inline testing::AssertionResult converts_at_every_alignment(const Bytes& source,
                                                            const Bytes& expected,
                                                            const Call& call) {
  constexpr std::size_t guard = 16;
  // Offsets 1-8 give every misalignment, and even an empty source a real address.
  for (std::size_t source_offset = 1; source_offset <= 8; ++source_offset) {
    for (std::size_t offset = 0; offset < 8; ++offset) {
      for (const std::uint8_t fill : {0x00, 0xFF}) {
        Bytes placed(source_offset + source.size(), 0x5A);
        std::copy(source.begin(), source.end(), placed.begin() + source_offset);
        const auto start = static_cast<std::ptrdiff_t>(guard + offset);
        Bytes out(guard + offset + expected.size() + guard, fill);
        Bytes want = out;
        std::copy(expected.begin(), expected.end(), want.begin() + start);
        call(placed.data() + source_offset, out.data() + start);
        const auto at = std::mismatch(out.begin(), out.end(), want.begin()).first - out.begin();
        if (at != std::ssize(out) || !x87_works()) {
          return testing::AssertionFailure()
                 << "source offset " << source_offset << ", destination offset " << offset << ": "
                 << (at == std::ssize(out)
                         ? "floating point broken after it"
                         : "byte " + std::to_string(at - start) + " of a " +
                               std::to_string(expected.size()) + "-byte row is wrong");
        }
      }
    }
  }
  return testing::AssertionSuccess();
}

}  // namespace rows
