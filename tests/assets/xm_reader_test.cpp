// The test's own XM reader: every field of a hand-made module, and the generated song cut short
// or corrupted, always refused with the offset of what is wrong.
#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "tests/assets/generated_files.h"
#include "tests/assets/xm_reader.h"
#include "tests/assets/xm_timeline.h"

namespace {

using xmfile::Cell;
using xmfile::Instrument;
using xmfile::Module;
using xmfile::Pattern;
using xmfile::ReadResult;
using xmfile::Sample;

const Bytes& song_bytes() { return generated("theme2.xm"); }

// --- The reader itself

// Little-endian fields for hand-made files.
struct ByteWriter {
  Bytes bytes;
  void u8(unsigned v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
  void u16(unsigned v) {
    u8(v & 0xFF);
    u8(v >> 8);
  }
  void u32(std::uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  }
  void text(const std::string& s, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) u8(i < s.size() ? static_cast<unsigned char>(s[i]) : 0);
  }
  void zeros(std::size_t n) { bytes.insert(bytes.end(), n, 0); }
};

void put_u16(Bytes& b, std::size_t at, unsigned v) {
  b[at] = static_cast<std::uint8_t>(v & 0xFF);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void put_u32(Bytes& b, std::size_t at, std::uint32_t v) {
  put_u16(b, at, v & 0xFFFF);
  put_u16(b, at + 2, v >> 16);
}
std::uint16_t get_u16(const Bytes& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

// A small module with what the generated song does not have: a cell stored without a flag byte,
// a pattern stored empty, an 8-bit sample, an instrument without samples, 16-bit values that
// wrap, and bytes after the last sample.
Bytes hand_made_module() {
  ByteWriter w;
  w.text("Extended Module: ", 17);
  w.text("tiny", 20);
  w.u8(0x1A);
  w.text("by hand", 20);
  w.u16(0x0104);
  w.u32(276);
  w.u16(2);    // song length
  w.u16(1);    // restart
  w.u16(2);    // channels
  w.u16(2);    // patterns
  w.u16(3);    // instruments
  w.u16(0);    // Amiga frequency table
  w.u16(5);    // speed
  w.u16(150);  // BPM
  w.u8(1);
  w.u8(0);
  w.zeros(254);

  // Pattern 0, two rows: a whole cell, a packed effect, an empty cell and a key off.
  w.u32(9);
  w.u8(0);
  w.u16(2);
  w.u16(11);
  for (unsigned v : {49u, 1u, 0x30u, 0x0Cu, 0x20u}) w.u8(v);
  for (unsigned v : {0x98u, 0x0Fu, 0x07u}) w.u8(v);
  w.u8(0x80);
  for (unsigned v : {0x81u, 97u}) w.u8(v);
  // Pattern 1, three rows stored as nothing.
  w.u32(9);
  w.u8(0);
  w.u16(3);
  w.u16(0);

  // Instrument 1: an 8-bit sample with a forward loop.
  w.u32(263);
  w.text("blip", 22);
  w.u8(0);
  w.u16(1);
  w.u32(40);
  w.zeros(96);
  for (unsigned v : {0u, 64u, 8u, 32u, 16u, 0u}) w.u16(v);
  w.zeros(9 * 4 + 12 * 4);
  for (unsigned v : {3u, 0u, 1u, 0u, 2u, 0u, 0u, 0u, 3u, 0u, 1u, 2u, 3u, 4u}) w.u8(v);
  w.u16(500);
  w.zeros(22);
  w.u32(4);  // length
  w.u32(1);  // loop start
  w.u32(2);  // loop length
  w.u8(48);
  w.u8(0xF0);  // finetune -16
  w.u8(0x01);
  w.u8(100);
  w.u8(0xFE);  // relative note -2
  w.u8(0);
  w.text("blip", 22);
  for (unsigned v : {10u, 226u, 147u, 1u}) w.u8(v);  // 10, -20, 127, -128
  // Instrument 2: no samples, so only the first part of its header.
  w.u32(29);
  w.text("empty", 22);
  w.u8(0);
  w.u16(0);
  // Instrument 3: a 16-bit sample whose values wrap.
  w.u32(263);
  w.text("wide", 22);
  w.u8(0);
  w.u16(1);
  w.u32(40);
  w.zeros(96 + 96 + 14);
  w.u16(0);
  w.zeros(22);
  w.u32(8);
  w.u32(0);
  w.u32(0);
  w.u8(64);
  w.u8(0);
  w.u8(0x10);
  w.u8(128);
  w.u8(0);
  w.u8(0);
  w.text("wide", 22);
  for (unsigned v : {1000u, 63536u, 33767u, 1u}) w.u16(v);  // 1000, -1000, 32767, -32768
  for (unsigned v : {0xDEu, 0xADu, 0x00u}) w.u8(v);
  return w.bytes;
}

TEST(XmReader, DecodesEveryFieldOfAHandMadeModule) {
  const Bytes bytes = hand_made_module();
  const ReadResult r = xmfile::read_module(bytes);
  ASSERT_TRUE(r.ok()) << r.error->text();
  const Module& m = r.module;
  EXPECT_EQ(m.name, "tiny");
  EXPECT_EQ(m.tracker, "by hand");
  EXPECT_EQ(m.song_length, 2);
  EXPECT_EQ(m.restart, 1);
  EXPECT_EQ(m.channels, 2);
  EXPECT_EQ(m.flags, 0);
  EXPECT_EQ(m.speed, 5);
  EXPECT_EQ(m.bpm, 150);
  EXPECT_EQ(m.orders, (std::vector<std::uint8_t>{1, 0}));
  EXPECT_EQ(m.consumed, bytes.size() - 3);

  ASSERT_EQ(m.patterns.size(), 2u);
  const Pattern& p = m.patterns[0];
  EXPECT_EQ(p.offset, 336u);
  ASSERT_EQ(p.rows, 2);
  const auto same = [](const Cell& a, const Cell& b) {
    return a.note == b.note && a.instrument == b.instrument && a.volume == b.volume &&
           a.effect == b.effect && a.param == b.param;
  };
  EXPECT_TRUE(same(p.at(0, 0), Cell{49, 1, 0x30, 0x0C, 0x20}));
  EXPECT_TRUE(same(p.at(0, 1), Cell{0, 0, 0, 0x0F, 0x07}));
  EXPECT_TRUE(same(p.at(1, 0), Cell{}));
  EXPECT_TRUE(same(p.at(1, 1), Cell{97, 0, 0, 0, 0}));
  ASSERT_EQ(m.patterns[1].rows, 3);
  for (const Cell& c : m.patterns[1].cells) EXPECT_TRUE(same(c, Cell{}));

  ASSERT_EQ(m.instruments.size(), 3u);
  const Instrument& blip = m.instruments[0];
  EXPECT_EQ(blip.name, "blip");
  ASSERT_EQ(blip.sample_count, 1);
  EXPECT_EQ(blip.volume.count, 3);
  EXPECT_EQ(blip.volume.points[1].tick, 8);
  EXPECT_EQ(blip.volume.points[1].value, 32);
  EXPECT_EQ(blip.volume.points[2].tick, 16);
  EXPECT_EQ(blip.volume.sustain, 1);
  EXPECT_EQ(blip.volume.loop_end, 2);
  EXPECT_TRUE(blip.volume.on());
  EXPECT_TRUE(blip.volume.sustained());
  EXPECT_FALSE(blip.volume.looped());
  EXPECT_FALSE(blip.panning.on());
  EXPECT_EQ(blip.vibrato_type, 1);
  EXPECT_EQ(blip.vibrato_sweep, 2);
  EXPECT_EQ(blip.vibrato_depth, 3);
  EXPECT_EQ(blip.vibrato_rate, 4);
  EXPECT_EQ(blip.fadeout, 500);
  const Sample& s8 = blip.samples[0];
  EXPECT_FALSE(s8.sixteen_bit());
  EXPECT_EQ(s8.loop_type(), 1);
  EXPECT_EQ(s8.loop_start, 1u);
  EXPECT_EQ(s8.loop_length, 2u);
  EXPECT_EQ(s8.volume, 48);
  EXPECT_EQ(s8.finetune, -16);
  EXPECT_EQ(s8.panning, 100);
  EXPECT_EQ(s8.relative_note, -2);
  EXPECT_EQ(s8.data, (std::vector<std::int16_t>{10, -20, 127, -128}));

  EXPECT_EQ(m.instruments[1].name, "empty");
  EXPECT_EQ(m.instruments[1].sample_count, 0);
  EXPECT_TRUE(m.instruments[1].samples.empty());

  const Sample& s16 = m.instruments[2].samples.at(0);
  EXPECT_TRUE(s16.sixteen_bit());
  EXPECT_EQ(s16.frames(), 4u);
  EXPECT_EQ(s16.data, (std::vector<std::int16_t>{1000, -1000, 32767, -32768}));
}

// Each cut copy is its own allocation of exactly the cut length, so the sanitizer sees any read
// past it.
void expect_cut_refused(const Bytes& whole, std::size_t length) {
  const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
  const ReadResult r = xmfile::read_module(cut);
  ASSERT_FALSE(r.ok()) << "cut to " << length << " bytes";
  EXPECT_LE(r.error->offset, length) << r.error->text();
  EXPECT_NE(r.error->text().find(std::to_string(r.error->offset)), std::string::npos);
  EXPECT_FALSE(r.error->what.empty());
}

TEST(XmReader, RefusesTheSongCutShortAnywhere) {
  const Bytes& whole = song_bytes();
  const ReadResult full = xmfile::read_module(whole);
  ASSERT_TRUE(full.ok()) << full.error->text();
  std::set<std::size_t> cuts;
  for (std::size_t n = 0; n <= 336; ++n) cuts.insert(n);  // every byte of the song header
  const auto around = [&](std::size_t at, std::size_t reach) {
    for (std::size_t d = 0; d <= reach; ++d) {
      if (at + d < whole.size()) cuts.insert(at + d);
      if (d <= at) cuts.insert(at - d);
    }
  };
  for (const Pattern& p : full.module.patterns) {
    around(p.offset, 9);  // every byte of the pattern header
    for (int k = 1; k < 8; ++k) cuts.insert(p.offset + 9 + p.packed_size * k / 8);
  }
  for (const Instrument& in : full.module.instruments) {
    around(in.offset, 2);
    for (std::size_t d : {4u, 27u, 29u, 33u, 129u, 225u, 239u, 241u, 262u}) {
      cuts.insert(in.offset + d);
    }
    for (const Sample& s : in.samples) {
      around(s.header_offset, 2);
      around(s.data_offset, 2);
      cuts.insert(s.data_offset + s.length / 2);
      cuts.insert(s.data_offset + s.length - 1);
    }
  }
  for (std::size_t k = 1; k < 100; ++k) cuts.insert(whole.size() * k / 100);
  cuts.insert(whole.size() - 1);
  for (const std::size_t n : cuts) {
    if (n >= whole.size()) continue;
    expect_cut_refused(whole, n);
    if (testing::Test::HasFatalFailure()) return;
  }
  std::cout << cuts.size() << " cuts of theme2.xm refused\n";
}

struct Corruption {
  const char* what;
  void (*apply)(Bytes&, const Module&);
};

TEST(XmReader, RefusesCorruptedCopiesOfTheSong) {
  const Bytes& whole = song_bytes();
  const ReadResult full = xmfile::read_module(whole);
  ASSERT_TRUE(full.ok()) << full.error->text();
  const Corruption corruptions[] = {
      {"wrong id", [](Bytes& b, const Module&) { b[9] = 'm'; }},
      {"no 0x1A after the name", [](Bytes& b, const Module&) { b[37] = ' '; }},
      {"version 1.03", [](Bytes& b, const Module&) { put_u16(b, 58, 0x0103); }},
      {"header too small for the order table", [](Bytes& b, const Module&) { put_u32(b, 60, 20); }},
      {"header running past the end",
       [](Bytes& b, const Module&) { put_u32(b, 60, static_cast<std::uint32_t>(b.size())); }},
      {"no channels", [](Bytes& b, const Module&) { put_u16(b, 68, 0); }},
      {"300 patterns", [](Bytes& b, const Module&) { put_u16(b, 70, 300); }},
      {"more orders than the table holds", [](Bytes& b, const Module&) { put_u16(b, 64, 257); }},
      {"pattern packed size one byte long",
       [](Bytes& b, const Module& m) {
         const std::size_t at = m.patterns[0].offset + 7;
         put_u16(b, at, get_u16(b, at) + 1u);
       }},
      {"pattern packed size one byte short",
       [](Bytes& b, const Module& m) {
         const std::size_t at = m.patterns[0].offset + 7;
         put_u16(b, at, get_u16(b, at) - 1u);
       }},
      {"last pattern's packed data overrunning the file",
       [](Bytes& b, const Module& m) {
         const Pattern& p = m.patterns.back();
         b.resize(p.offset + 9 + p.packed_size / 2);
       }},
      {"pattern packing type 1",
       [](Bytes& b, const Module& m) { b[m.patterns[0].offset + 4] = 1; }},
      {"pattern of no rows",
       [](Bytes& b, const Module& m) { put_u16(b, m.patterns[0].offset + 5, 0); }},
      {"pattern header length 8",
       [](Bytes& b, const Module& m) { put_u32(b, m.patterns[0].offset, 8); }},
      {"instrument header cut below its fields",
       [](Bytes& b, const Module& m) { put_u32(b, m.instruments[0].offset, 200); }},
      {"sample header size 39",
       [](Bytes& b, const Module& m) { put_u32(b, m.instruments[0].offset + 29, 39); }},
      {"17 samples in an instrument",
       [](Bytes& b, const Module& m) { put_u16(b, m.instruments[0].offset + 27, 17); }},
      {"16-bit sample of an odd length",
       [](Bytes& b, const Module& m) {
         const Sample& s = m.instruments[0].samples.at(0);
         put_u32(b, s.header_offset, s.length - 1);
       }},
      {"sample length beyond the end",
       [](Bytes& b, const Module& m) {
         const Sample& s = m.instruments.back().samples.at(0);
         put_u32(b, s.header_offset, static_cast<std::uint32_t>(b.size() - s.data_offset + 2));
       }},
  };
  for (const Corruption& c : corruptions) {
    SCOPED_TRACE(c.what);
    Bytes copy = whole;
    c.apply(copy, full.module);
    const Bytes exact(copy.begin(), copy.end());
    const ReadResult r = xmfile::read_module(exact);
    ASSERT_FALSE(r.ok());
    EXPECT_LE(r.error->offset, exact.size());
    EXPECT_NE(r.error->text().find(std::to_string(r.error->offset)), std::string::npos);
  }
}

// An order naming a pattern the file lacks is a sound file for the reader; the song model is
// what refuses to play it.
TEST(XmReader, LeavesOrdersNamingMissingPatternsToTheSongModel) {
  Bytes copy = song_bytes();
  ASSERT_GT(copy.size(), 80u);
  copy[80] = static_cast<std::uint8_t>(get_u16(copy, 70));  // order 0 = the pattern count
  const ReadResult r = xmfile::read_module(copy);
  ASSERT_TRUE(r.ok()) << r.error->text();
  EXPECT_NE(xmfile::play_through(r.module).error, "");
}

}  // namespace
