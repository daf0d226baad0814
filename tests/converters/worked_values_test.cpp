// Known pixels with their known destination bytes, in rows long enough to go through the block step
// and the pixel-at-a-time tail of every converter.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "display/pixel_converters.h"
#include "tests/converters/reference_layouts.h"
#include "tests/converters/row_buffers.h"

namespace {

// 17 pixels: whole blocks of 16, 8 and 4 pixels and one more.
constexpr std::int32_t row_length = 17;

// Converts a row of `row_length` copies of `pixel`.
std::vector<std::uint8_t> convert_repeated(const reference::Layout& layout, std::uint32_t pixel) {
  const std::vector<std::uint32_t> pixels(row_length, pixel);
  const rows::Source source(pixels, 1);
  rows::Destination destination(row_length * static_cast<std::size_t>(layout.bytes_per_pixel), 3,
                                0xEE);
  layout.converter(source.pixels(), destination.start(), row_length);
  EXPECT_TRUE(destination.untouched_outside());
  return destination.row();
}

std::vector<std::uint8_t> little_endian(std::uint16_t value) {
  return {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8)};
}

struct Worked {
  std::uint32_t pixel;
  std::string layout;
  std::vector<std::uint8_t> bytes;
};

void expect_every_pixel(const Worked& worked) {
  SCOPED_TRACE(worked.layout + ", pixel " + testing::PrintToString(worked.pixel));
  const reference::Layout& layout = reference::layout(worked.layout);
  ASSERT_EQ(worked.bytes.size(), static_cast<std::size_t>(layout.bytes_per_pixel));
  const std::vector<std::uint8_t> row = convert_repeated(layout, worked.pixel);
  for (std::size_t i = 0; i < row_length; ++i) {
    const std::vector<std::uint8_t> one(
        row.begin() + static_cast<std::ptrdiff_t>(i * worked.bytes.size()),
        row.begin() + static_cast<std::ptrdiff_t>((i + 1) * worked.bytes.size()));
    EXPECT_EQ(one, worked.bytes) << "pixel " << i;
  }
}

TEST(WorkedValues, MixedColour) {
  for (const Worked& w : std::vector<Worked>{
           {0x00123456, "xrgb8888", {0x56, 0x34, 0x12, 0x00}},
           {0x00123456, "xbgr8888", {0x12, 0x34, 0x56, 0x00}},
           {0x00123456, "rgb888", {0x56, 0x34, 0x12}},
           {0x00123456, "bgr888", {0x12, 0x34, 0x56}},
           {0x00123456, "rgb565", little_endian(0x11AA)},
           {0x00123456, "bgr565", little_endian(0x51A2)},
           {0x00123456, "rgb555", little_endian(0x08CA)},
           {0x00123456, "bgr555", little_endian(0x28C2)},
       }) {
    expect_every_pixel(w);
  }
}

// White fills every colour bit and no other: bit 15 of the 555 layouts stays clear.
TEST(WorkedValues, White) {
  for (const Worked& w : std::vector<Worked>{
           {0x00FFFFFF, "rgb565", little_endian(0xFFFF)},
           {0x00FFFFFF, "bgr565", little_endian(0xFFFF)},
           {0x00FFFFFF, "rgb555", little_endian(0x7FFF)},
           {0x00FFFFFF, "bgr555", little_endian(0x7FFF)},
       }) {
    expect_every_pixel(w);
  }
}

// Narrow channels drop their low bits: just below a step gives nothing, the step itself one unit.
TEST(WorkedValues, Truncation) {
  for (const std::string layout : {"rgb565", "bgr565", "rgb555", "bgr555"}) {
    expect_every_pixel({0x00070307, layout, little_endian(0x0000)});
  }
  for (const Worked& w : std::vector<Worked>{
           {0x00080408, "rgb565", little_endian(0x0821)},
           {0x00080408, "bgr565", little_endian(0x0821)},
           {0x00080408, "rgb555", little_endian(0x0401)},
           {0x00080408, "bgr555", little_endian(0x0401)},
       }) {
    expect_every_pixel(w);
  }
}

// Byte 3 carries no colour: only the straight 32-bit copy passes it on.
TEST(WorkedValues, ByteThree) {
  expect_every_pixel({0xAB070307, "xrgb8888", {0x07, 0x03, 0x07, 0xAB}});
  expect_every_pixel({0xAB070307, "xbgr8888", {0x07, 0x03, 0x07, 0x00}});
  for (const std::string name : {"rgb888", "bgr888", "rgb565", "bgr565", "rgb555", "bgr555"}) {
    SCOPED_TRACE(name);
    const reference::Layout& layout = reference::layout(name);
    for (const std::uint32_t colour : {0x00070307u, 0x00F0E0D0u}) {
      EXPECT_EQ(convert_repeated(layout, 0xAB000000u | colour), convert_repeated(layout, colour));
      EXPECT_EQ(convert_repeated(layout, 0xFF000000u | colour), convert_repeated(layout, colour));
    }
  }
}

// A surface reporting red in the low bits gets the BGR555 converter, and red lands in bits 0-4 of
// all nine pixels, the ninth (past the 8-pixel block) included.
TEST(WorkedValues, RedInLowBitsOfBgr555) {
  const PixelConverter converter = select_converter(16, 0x001F, 0x03E0, 0x7C00);
  ASSERT_NE(converter, nullptr);
  std::vector<std::uint32_t> reds;
  for (std::uint32_t r : {0x08u, 0x10u, 0x20u, 0x40u, 0x80u, 0xF8u, 0xFFu, 0x37u, 0xC9u}) {
    reds.push_back(r << 16);
  }
  std::vector<std::uint8_t> out(reds.size() * 2);
  converter(reds.data(), out.data(), static_cast<std::int32_t>(reds.size()));
  for (std::size_t i = 0; i < reds.size(); ++i) {
    const unsigned word = out[2 * i] | (out[2 * i + 1] << 8);
    EXPECT_EQ(word, (reds[i] >> 16) >> 3) << "pixel " << i;
  }
}

}  // namespace
