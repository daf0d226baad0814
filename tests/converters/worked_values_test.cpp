// Known pixels with their known destination bytes, in rows long enough to go through the block step
// and the pixel-at-a-time tail of every converter.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/converters/row_buffers.h"

namespace {

// 17 pixels: whole blocks of 16, 8 and 4 pixels and one more.
constexpr std::int32_t row_length = 17;

rows::Bytes little_endian(std::uint16_t value) {
  return {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8)};
}

using emulated::Layout;

struct Worked {
  std::uint32_t pixel;
  Layout layout;
  rows::Bytes bytes;
};

// Hand-worked bytes, independent of the reference row: a mixed colour; white fills every colour bit
// and no other (bit 15 of 555 stays clear); narrow channels drop their low bits (just below a step
// gives nothing, the step one unit); byte 3 is copied only by the straight 32-bit layout.
TEST(WorkedValues, KnownPixelsGiveKnownBytes) {
  const Worked worked[] = {
      {0x00123456, Layout::xrgb8888, {0x56, 0x34, 0x12, 0x00}},
      {0x00123456, Layout::xbgr8888, {0x12, 0x34, 0x56, 0x00}},
      {0x00123456, Layout::rgb888, {0x56, 0x34, 0x12}},
      {0x00123456, Layout::bgr888, {0x12, 0x34, 0x56}},
      {0x00123456, Layout::rgb565, little_endian(0x11AA)},
      {0x00123456, Layout::bgr565, little_endian(0x51A2)},
      {0x00123456, Layout::rgb555, little_endian(0x08CA)},
      {0x00123456, Layout::bgr555, little_endian(0x28C2)},
      {0x00FFFFFF, Layout::rgb565, little_endian(0xFFFF)},
      {0x00FFFFFF, Layout::bgr565, little_endian(0xFFFF)},
      {0x00FFFFFF, Layout::rgb555, little_endian(0x7FFF)},
      {0x00FFFFFF, Layout::bgr555, little_endian(0x7FFF)},
      {0x00070307, Layout::rgb565, little_endian(0x0000)},
      {0x00070307, Layout::bgr555, little_endian(0x0000)},
      {0x00080408, Layout::rgb565, little_endian(0x0821)},
      {0x00080408, Layout::bgr565, little_endian(0x0821)},
      {0x00080408, Layout::rgb555, little_endian(0x0401)},
      {0x00080408, Layout::bgr555, little_endian(0x0401)},
      {0xAB070307, Layout::xrgb8888, {0x07, 0x03, 0x07, 0xAB}},
      {0xAB070307, Layout::xbgr8888, {0x07, 0x03, 0x07, 0x00}},
      {0xABF0E0D0, Layout::rgb888, {0xD0, 0xE0, 0xF0}},
      {0xFFF0E0D0, Layout::bgr565, little_endian(0xD71E)},
      {0xFF080408, Layout::rgb555, little_endian(0x0401)},
  };
  for (const Worked& w : worked) {
    rows::Bytes expected;
    for (int i = 0; i < row_length; ++i) {
      expected.insert(expected.end(), w.bytes.begin(), w.bytes.end());
    }
    const std::vector<std::uint32_t> pixels(row_length, w.pixel);
    const layout_oracle::Entry& e = layout_oracle::entry(w.layout);
    EXPECT_TRUE(rows::converts_at_every_alignment(
        rows::bytes_of(pixels), expected, rows::converting(rows::converter_for(e), row_length)))
        << e.name << ", pixel " << testing::PrintToString(w.pixel);
  }
}

}  // namespace
