// The loader against files the writer makes: read back as written in each layout, oddities read as
// xm/load.h says, broken files refused at the byte where they break. Expected values are worked by
// hand from the module below.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tools/xm_writer/xm_module.h"
#include "xm/load.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Frames = std::vector<std::int16_t>;
using xmwrite::Loop;

// Three channels (odd counts are kept); a 16-row pattern and an empty 256-row one. Instrument 1
// holds a forward-looped 16-bit sample and a ping-pong 8-bit one of volume 70 (read as 64), 2 has
// no samples, 3 holds the file's last sample: three 16-bit frames.
xmwrite::Module small_module(std::uint16_t version) {
  xmwrite::Module m{.name = "small",
                    .tracker = "tests",
                    .version = version,
                    .channels = 3,
                    .restart = 2,
                    .linear_frequencies = false,
                    .speed = 3,
                    .bpm = 200,
                    .orders = {1, 0, 1}};
  xmwrite::Pattern p(16, 3);
  p.at(0, 0) = {49, 1, 0x40, 0x0C, 0x20};
  p.at(1, 1).note = xmwrite::key_off;
  p.at(15, 2) = {96, 3, 0, 35, 1};
  m.patterns = {p, xmwrite::Pattern(256, 3)};
  xmwrite::Instrument keys{.name = "keys",
                           .vibrato_type = 2,
                           .vibrato_sweep = 10,
                           .vibrato_depth = 20,
                           .vibrato_rate = 30,
                           .fadeout = 1234};
  keys.samples = {{.name = "loud",
                   .frames = {100, -200, 300, -400, 500, 32767, -32768},
                   .loop = Loop::forward,
                   .loop_start = 2,
                   .loop_length = 3},
                  {.name = "soft",
                   .frames = {1, 2, 3, 4, 5, 6},
                   .sixteen_bit = false,
                   .loop = Loop::ping_pong,
                   .loop_length = 4,
                   .volume = 70}};
  for (int k = 48; k < 96; ++k) keys.keymap[static_cast<std::size_t>(k)] = 1;
  keys.keymap[5] = 7;
  for (std::uint16_t k = 0; k < 12; ++k) {
    keys.volume_envelope.points.push_back(
        {static_cast<std::uint16_t>(10 * k), static_cast<std::uint16_t>(64 - 4 * k)});
  }
  keys.volume_envelope = {keys.volume_envelope.points, 3, 5, 8};
  keys.panning_envelope.points = {{0, 32}, {30, 60}};
  xmwrite::Instrument last{.name = "last"};
  last.samples = {{.name = "end",
                   .frames = {7, 8, 9},
                   .volume = 50,
                   .finetune = -16,
                   .panning = 200,
                   .relative_note = -12}};
  m.instruments = {keys, xmwrite::Instrument{.name = "none"}, last};
  return m;
}

class Layouts : public testing::TestWithParam<std::uint16_t> {};

TEST_P(Layouts, ReadBackAsWritten) {
  const xmwrite::Module w = small_module(GetParam());
  const xm::LoadResult r = xm::load(xmwrite::file_bytes(w));
  ASSERT_TRUE(r.ok()) << r.message();
  const xm::Module& m = r.module;
  EXPECT_EQ(m.name + "|" + m.tracker, "small|tests");
  EXPECT_EQ(m.version, GetParam());
  EXPECT_EQ(std::vector<int>({m.channels, m.restart, m.speed, m.bpm}),
            std::vector<int>({3, 2, 3, 200}));
  EXPECT_FALSE(m.linear_frequencies);
  EXPECT_EQ(m.orders, w.orders);
  ASSERT_EQ(m.patterns.size(), 2u);
  for (std::size_t p = 0; p < 2; ++p) {
    ASSERT_EQ(m.patterns[p].rows, w.patterns[p].rows);
    ASSERT_EQ(m.patterns[p].cells.size(), w.patterns[p].cells.size());
    for (std::size_t c = 0; c < m.patterns[p].cells.size(); ++c) {
      const xm::Cell& got = m.patterns[p].cells[c];
      const xmwrite::Cell& want = w.patterns[p].cells[c];
      EXPECT_EQ(Bytes({got.note, got.instrument, got.volume, got.effect, got.param}),
                Bytes({want.note, want.instrument, want.volume, want.effect, want.param}));
    }
  }
  ASSERT_EQ(m.instruments.size(), 3u);
  const xm::Instrument& keys = m.instruments[0];
  EXPECT_EQ(keys.name, "keys");
  for (std::size_t k = 0; k < 96; ++k) EXPECT_EQ(keys.keymap[k], k == 5 ? xm::no_sample : k >= 48);
  const xm::Envelope& v = keys.volume_envelope;
  EXPECT_EQ(Bytes({v.count, v.sustain, v.loop_start, v.loop_end, v.points[11].value}),
            Bytes({12, 3, 5, 8, 20}));
  EXPECT_EQ(v.points[11].tick, 110);
  EXPECT_TRUE(v.on && v.sustain_on && v.loop_on);
  const xm::Envelope& pan = keys.panning_envelope;
  EXPECT_EQ(Bytes({pan.count, pan.points[1].value, pan.on, pan.sustain_on, pan.loop_on}),
            Bytes({2, 60, 1, 0, 0}));
  EXPECT_EQ(Bytes({keys.vibrato_type, keys.vibrato_sweep, keys.vibrato_depth, keys.vibrato_rate}),
            Bytes({2, 10, 20, 30}));
  EXPECT_EQ(keys.fadeout, 1234);
  ASSERT_EQ(keys.samples.size(), 2u);
  const xm::Sample& loud = keys.samples[0];
  EXPECT_EQ(loud.name, "loud");
  EXPECT_TRUE(loud.sixteen_bit && loud.loop == xm::LoopType::forward);
  EXPECT_EQ(std::vector<std::uint32_t>({loud.length, loud.loop_start, loud.loop_length}),
            std::vector<std::uint32_t>({5, 2, 3}));
  // Cut at the loop end; after it the loop again: frames 2, 3, 4, 2.
  EXPECT_EQ(loud.data, Frames({0, 0, 0, 0, 100, -200, 300, -400, 500, 300, -400, 500, 300}));
  const xm::Sample& soft = keys.samples[1];
  EXPECT_TRUE(!soft.sixteen_bit && soft.loop == xm::LoopType::ping_pong && soft.volume == 64);
  EXPECT_EQ(soft.length, 4u);
  // Frames 0..3 scaled by 256; after the turn 3, 3, 2, 1, 0 reversed; before it 0, 1, 2, 3.
  EXPECT_EQ(soft.data, Frames({1024, 768, 512, 256, 256, 512, 768, 1024, 1024, 768, 512, 256}));
  EXPECT_TRUE(m.instruments[1].samples.empty());
  EXPECT_EQ(m.instruments[1].keymap[0], xm::no_sample);
  const xm::Sample& end = m.instruments[2].samples.at(0);
  EXPECT_EQ(end.data, Frames({0, 0, 0, 0, 7, 8, 9, 0, 0, 0, 0}));
  EXPECT_EQ(std::vector<int>({end.volume, end.finetune, end.panning, end.relative_note}),
            std::vector<int>({50, -16, 200, -12}));
}

// Cut anywhere, a file loads only when the cut falls inside its last sample's data (six bytes);
// otherwise it fails where it ends (before the id is whole: at byte 0).
TEST_P(Layouts, EveryCutLoadsOnlyInsideTheLastSample) {
  const Bytes whole = xmwrite::file_bytes(small_module(GetParam()));
  for (std::size_t n = 0; n < whole.size(); ++n) {
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    const xm::LoadResult r = xm::load(cut);
    ASSERT_EQ(r.ok(), n >= whole.size() - 6) << n << " " << r.message();
    if (!r.ok()) {
      ASSERT_EQ(r.offset, n < 17 ? 0 : n) << r.message();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Versions, Layouts, testing::Values(0x0102, 0x0103, 0x0104));

// The 0x0104 small module's bytes and where its parts start.
struct File {
  Bytes b = xmwrite::file_bytes(small_module(0x0104));

  std::uint32_t get(std::size_t at, int n) const {
    std::uint32_t v = 0;
    for (int k = n - 1; k >= 0; --k) v = v << 8 | b[at + static_cast<std::size_t>(k)];
    return v;
  }
  void set(std::size_t at, std::uint32_t v, int n) {
    for (int k = 0; k < n; ++k) b[at + static_cast<std::size_t>(k)] = (v >> (8 * k)) & 0xFF;
  }
  std::size_t pattern(int p) const {
    std::size_t at = 60 + 276;
    for (int q = 0; q < p; ++q) at += 9 + get(at + 7, 2);
    return at;
  }
  std::size_t instrument(int i) const {
    std::size_t at = pattern(2);
    for (int j = 0; j < i; ++j) {
      const std::uint32_t samples = get(at + 27, 2);
      const std::size_t headers = at + get(at, 4);
      at = headers + 40 * samples;
      for (std::uint32_t s = 0; s < samples; ++s) at += get(headers + 40 * s, 4);
    }
    return at;
  }
  std::size_t sample(int i, int s) const { return instrument(i) + 263 + 40 * s; }
};

struct Broken {
  const char* what;
  std::function<std::size_t(File&)> patch;  // returns where the fault lies
  const char* error;
};

const Broken broken[] = {
    {"id", [](File& f) { return f.b[9] = 'm', 0; }, "not an XM file"},
    {"version above", [](File& f) { return f.set(58, 0x0105, 2), 58; }, "version 0x0105 is not"},
    {"version below", [](File& f) { return f.set(58, 0x0101, 2), 58; }, "version 0x0101 is not"},
    {"header size", [](File& f) { return f.set(60, 19, 4), 60; }, "header size 19 is too small"},
    {"no room for orders", [](File& f) { return f.set(60, 22, 4), 60; }, "no room for 3 orders"},
    {"no channels", [](File& f) { return f.set(68, 0, 2), 68; }, "0 channels"},
    {"33 channels", [](File& f) { return f.set(68, 33, 2), 68; }, "33 channels"},
    {"patterns", [](File& f) { return f.set(70, 257, 2), 70; }, "257 patterns (at most 256)"},
    {"instruments", [](File& f) { return f.set(72, 129, 2), 72; }, "129 instruments"},
    {"pattern header", [](File& f) { return f.set(f.pattern(0), 8, 4), f.pattern(0); },
     "pattern 0: header length 8 is too small"},
    {"rows", [](File& f) { return f.set(f.pattern(1) + 5, 257, 2), f.pattern(1) + 5; },
     "pattern 1: 257 rows"},
    // One row: its three cells are the first 7 bytes (a whole cell, two empty ones).
    {"cells past the rows",
     [](File& f) { return f.set(f.pattern(0) + 5, 1, 2), f.pattern(0) + 16; },
     "pattern 0: packed data overruns its rows"},
    {"cell past the data", [](File& f) { return f.set(f.pattern(0) + 7, 3, 2), f.pattern(0) + 12; },
     "pattern 0: a cell runs past its packed data's end"},
    {"data past the end", [](File& f) { return f.set(f.pattern(0) + 7, 0xFFFF, 2), f.b.size(); },
     "the file ends inside pattern 0's packed data"},
    {"instrument size", [](File& f) { return f.set(f.instrument(0), 28, 4), f.instrument(0); },
     "instrument 1: header size 28 is too small (at least 29)"},
    {"size for samples", [](File& f) { return f.set(f.instrument(0), 242, 4), f.instrument(0); },
     "instrument 1: header size 242 is too small for samples"},
    {"samples", [](File& f) { return f.set(f.instrument(0) + 27, 17, 2), f.instrument(0) + 27; },
     "instrument 1: 17 samples (at most 16)"},
    {"sample header",
     [](File& f) { return f.set(f.instrument(0) + 29, 39, 4), f.instrument(0) + 29; },
     "instrument 1: sample header size 39 is too small"},
    {"sample cut", [](File& f) { return f.b.resize(f.instrument(1) - 1), f.b.size(); },
     "the file ends inside instrument 1 sample 1's data"},
};

TEST(Load, RefusesBrokenFilesWhereTheyBreak) {
  for (const Broken& c : broken) {
    File f;
    const std::size_t at = c.patch(f);
    const xm::LoadResult r = xm::load(f.b);
    EXPECT_NE(r.error.find(c.error), std::string::npos) << c.what << ": " << r.message();
    EXPECT_EQ(r.message(), "at byte " + std::to_string(at) + ": " + r.error) << c.what;
  }
}

struct Oddity {
  const char* what;
  std::function<void(File&)> patch;
  std::function<bool(const xm::Module&)> holds;
};

const Oddity oddities[] = {
    {"song length 0", [](File& f) { f.set(64, 0, 2); },
     [](auto& m) { return m.orders.size() == 1; }},
    {"song length 300", [](File& f) { f.set(64, 300, 2); },
     [](auto& m) { return m.orders.size() == 256; }},
    {"restart past the end", [](File& f) { f.set(66, 3, 2); },
     [](auto& m) { return m.restart == 0; }},
    {"speed and BPM 0", [](File& f) { f.set(76, 0, 4); },
     [](auto& m) { return m.speed == 6 && m.bpm == 125; }},
    {"speed 40, BPM 20", [](File& f) { f.set(76, 20 << 16 | 40, 4); },
     [](auto& m) { return m.speed == 31 && m.bpm == 32; }},
    {"BPM 300", [](File& f) { f.set(78, 300, 2); }, [](auto& m) { return m.bpm == 255; }},
    {"longer headers",
     [](File& f) {
       f.b.insert(f.b.begin() + 336 + 9, 2, 0xEE);  // pattern 0's header, then the song header
       f.set(336, 11, 4);
       f.b.insert(f.b.begin() + 336, 4, 0xEE);
       f.set(60, 280, 4);
     },
     [](auto& m) { return m.patterns[0].at(0, 0, 3).note == 49 && m.orders.size() == 3; }},
    {"0 rows", [](File& f) { f.set(f.pattern(1) + 5, 0, 2); },
     [](auto& m) { return m.patterns[1].rows == 64 && m.patterns[1].cells.size() == 192; }},
    {"order past the patterns", [](File& f) { f.b[81] = 5; },
     [](auto& m) { return m.patterns.size() == 6 && m.patterns[5].cells.size() == 192; }},
    {"note 98, instrument 129, effect 36", [](File& f) { f.set(f.pattern(0) + 9, 0x2440'8162, 4); },
     [](auto& m) {
       const xm::Cell& c = m.patterns[0].cells[0];
       return c.note + c.instrument + c.effect + c.param == 0;
     }},
    {"13 envelope points", [](File& f) { f.b[f.instrument(0) + 225] = 13; },
     [](auto& m) { return m.instruments[0].volume_envelope.count == 12; }},
    {"marks past the points", [](File& f) { f.set(f.instrument(0) + 227, 0x0F'0A'14, 3); },
     [](auto& m) {
       const xm::Envelope& e = m.instruments[0].volume_envelope;
       return e.sustain == 11 && e.loop_start == 10 && e.loop_end == 11 && e.loop_on;
     }},
    {"loop backwards", [](File& f) { f.set(f.instrument(0) + 228, 0x05'08, 2); },
     [](auto& m) { return !m.instruments[0].volume_envelope.loop_on; }},
    {"ticks not rising", [](File& f) { f.set(f.instrument(0) + 129 + 16, 30, 2); },
     [](auto& m) { return m.instruments[0].volume_envelope.count == 4; }},
    {"envelope value 100", [](File& f) { f.set(f.instrument(0) + 131, 100, 2); },
     [](auto& m) { return m.instruments[0].volume_envelope.points[0].value == 64; }},
    {"vibrato type 7", [](File& f) { f.b[f.instrument(0) + 235] = 7; },
     [](auto& m) { return m.instruments[0].vibrato_type == 0; }},
    {"loop type 3", [](File& f) { f.b[f.sample(0, 0) + 14] = 0x13; },
     [](auto& m) { return m.instruments[0].samples[0].loop == xm::LoopType::ping_pong; }},
    {"loop length 0", [](File& f) { f.set(f.sample(0, 0) + 8, 0, 4); },
     [](auto& m) {
       const xm::Sample& s = m.instruments[0].samples[0];
       return s.loop == xm::LoopType::none && s.length == 7 && s.data[4 + 6] == -32768;
     }},
    {"loop past the end", [](File& f) { f.set(f.sample(0, 0) + 8, 100, 4); },
     [](auto& m) {
       const xm::Sample& s = m.instruments[0].samples[0];
       return s.loop_length == 5 && s.length == 7 && s.data[4 + 7] == 300;
     }},
    {"loop start past the end", [](File& f) { f.set(f.sample(0, 0) + 4, 14, 4); },
     [](auto& m) { return m.instruments[0].samples[0].loop == xm::LoopType::none; }},
    // The odd byte lies between two samples' data: misread, everything after it shifts.
    {"odd 16-bit length",
     [](File& f) {
       f.b.insert(f.b.begin() + static_cast<std::ptrdiff_t>(f.sample(0, 1) + 40 + 14), 0x55);
       f.set(f.sample(0, 0), 15, 4);
     },
     [](auto& m) {
       return m.instruments[0].samples[0].length == 5 &&
              m.instruments[0].samples[1].data[4] == 256 &&
              m.instruments[2].samples[0].data == Frames({0, 0, 0, 0, 7, 8, 9, 0, 0, 0, 0});
     }},
    {"last sample cut", [](File& f) { f.b.resize(f.b.size() - 3); },
     [](auto& m) {
       return m.instruments[2].samples[0].data == Frames({0, 0, 0, 0, 7, 0, 0, 0, 0});
     }},
};

TEST(Load, ReadsOdditiesAsFastTracker2) {
  for (const Oddity& c : oddities) {
    File f;
    c.patch(f);
    const xm::LoadResult r = xm::load(f.b);
    ASSERT_TRUE(r.ok()) << c.what << ": " << r.message();
    EXPECT_TRUE(c.holds(r.module)) << c.what;
  }
}

}  // namespace
