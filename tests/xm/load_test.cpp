// The loader against files the writer makes (tests/xm/load_module.h): read back as written in each
// layout, cut anywhere, one table of patched files (broken ones refused at the byte where they
// break, oddities read as xm/load.h says) and one of cuts at each kind of place (what is kept and
// what is reported). Expected values are worked by hand from the module.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/xm/load_module.h"
#include "xm/load.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Frames = std::vector<std::int16_t>;
using Ints = std::vector<long>;

// Loaded values side by side, compared as a list.
template <typename... T>
Ints ints(T... values) {
  return {static_cast<long>(values)...};
}
class Layouts : public testing::TestWithParam<std::uint16_t> {};

TEST_P(Layouts, ReadBackAsWritten) {
  const xmwrite::Module w = small_module(GetParam());
  const xm::LoadResult r = xm::load(xmwrite::file_bytes(w));
  ASSERT_TRUE(r.ok()) << r.message();
  EXPECT_TRUE(r.missing.empty());
  const xm::Module& m = r.module;
  ASSERT_EQ(ints(m.patterns.size(), m.instruments.size()), ints(2, 3));
  ASSERT_EQ(ints(m.instruments[0].samples.size(), m.instruments[2].samples.size()), ints(2, 1));
  const xm::Instrument& keys = m.instruments[0];
  const xm::Envelope& v = keys.volume_envelope;
  const xm::Envelope& pan = keys.panning_envelope;
  const xm::Sample& loud = keys.samples[0];
  const xm::Sample& soft = keys.samples[1];
  const xm::Sample& end = m.instruments[2].samples[0];
  EXPECT_EQ(ints(m.version, m.channels, m.restart, m.speed, m.bpm, m.linear_frequencies,
                 m.patterns[0].rows, m.patterns[1].rows),
            ints(GetParam(), 3, 2, 3, 200, 0, 16, 64));  // nothing in 256 rows plays as 64
  EXPECT_EQ(m.orders, w.orders);
  const auto cells = [](const auto& pattern) {
    Bytes flat;
    for (const auto& c : pattern.cells)
      flat.insert(flat.end(), {c.note, c.instrument, c.volume, c.effect, c.param});
    return flat;
  };
  EXPECT_EQ(cells(m.patterns[0]), cells(w.patterns[0]));
  EXPECT_EQ(cells(m.patterns[1]), Bytes(64 * 3 * 5, 0));
  for (std::size_t k = 0; k < 96; ++k) EXPECT_EQ(keys.keymap[k], k == 5 ? xm::no_sample : k >= 48);
  EXPECT_EQ(ints(v.count, v.sustain, v.loop_start, v.loop_end, v.points[11].tick,
                 v.points[11].value, v.on + v.sustain_on + v.loop_on, pan.count, pan.points[1].tick,
                 pan.points[1].value, pan.on + 2 * pan.sustain_on, keys.vibrato_type,
                 keys.vibrato_sweep, keys.vibrato_depth, keys.vibrato_rate, keys.fadeout),
            ints(12, 3, 5, 8, 110, 20, 3, 2, 30, 60, 1, 2, 10, 12, 30, 1234));
  // Cut at the loop end; then frames 2, 3, 4 and 2 again.
  EXPECT_EQ(loud.data, Frames({0, 0, 0, 0, 100, -200, 300, -400, 500, 300, -400, 500, 300}));
  // Frames 0..3 times 256; after the turn 3, 2, 1, 0; before frame 0 the same mirrored.
  EXPECT_EQ(soft.data, Frames({1024, 768, 512, 256, 256, 512, 768, 1024, 1024, 768, 512, 256}));
  EXPECT_EQ(end.data, Frames({0, 0, 0, 0, 7, 8, 9, 0, 0, 0, 0}));
  EXPECT_EQ(ints(loud.length, loud.loop_start, loud.loop_length, loud.sixteen_bit, loud.loop,
                 soft.length, soft.sixteen_bit, soft.loop, soft.volume, end.volume, end.finetune,
                 end.panning, end.relative_note),
            ints(5, 2, 3, 1, 1, 4, 0, 2, 64, 50, -16, 200, -12));
  EXPECT_EQ(m.name + m.tracker + keys.name + loud.name + end.name, "smalltestskeysloudend");
}

// Cut anywhere, a file is refused while its song header and order table are not whole (at byte 0
// while the id is not whole, else where it ends), and loads after, saying what it lacks until it
// is whole again.
TEST_P(Layouts, EveryCutPlaysOnceItsOrdersAreWhole) {
  const Bytes whole = xmwrite::file_bytes(small_module(GetParam()));
  constexpr std::size_t orders_end = 83;
  for (std::size_t n = 0; n < whole.size(); ++n) {
    const xm::LoadResult r = xm::load(Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(n)));
    ASSERT_EQ(r.ok(), n >= orders_end) << n << " " << r.message();
    ASSERT_TRUE(r.ok() || r.offset == (n < 17 ? 0 : n)) << r.message();
    ASSERT_EQ(r.missing.empty(), !r.ok()) << n;
  }
}

INSTANTIATE_TEST_SUITE_P(Versions, Layouts, testing::Values(0x0102, 0x0103, 0x0104));

// Where the 0x0104 file's parts start: patterns 0 and 1 (57 bytes of cells, then none),
// instrument 1 with its sample headers and data, instrument 2 (29 bytes), instrument 3.
constexpr std::size_t pattern0 = 336, pattern1 = 402, keys_at = 411, loud_at = 674, loud_data = 754,
                      soft_data = 768, last_at = 1066, size = 1112;

// What the oddities below change, read from a loaded file.
constexpr std::string_view items[] = {
    "orders",     "restart",     "speed",   "bpm",         "patterns", "rows",
    "note",       "instrument",  "effect",  "param",       "points",   "sustain",
    "loop_start", "loop_end",    "loop_on", "value",       "vibrato",  "loop",
    "length",     "loop_length", "guard",   "last_length", "depth",    "rate"};
Ints summary(const xm::Module& m) {
  const xm::Cell& c = m.patterns[0].cells[0];
  const xm::Envelope& e = m.instruments[0].volume_envelope;
  const xm::Sample& s = m.instruments[0].samples[0];
  return ints(m.orders.size(), m.restart, m.speed, m.bpm, m.patterns.size(), m.patterns[1].rows,
              c.note, c.instrument, c.effect, c.param, e.count, e.sustain, e.loop_start, e.loop_end,
              e.loop_on, e.points[0].value, m.instruments[0].vibrato_type, s.loop, s.length,
              s.loop_length, s.data[xm::sample_guard + s.length],
              m.instruments[2].samples[0].length, m.instruments[0].vibrato_depth,
              m.instruments[0].vibrato_rate);
}

struct Patch {
  const char* what;
  std::size_t at;
  std::uint32_t value;
  // Bytes written at `at`; -n inserts n bytes there and grows the 32-bit size field at `value` by
  // n.
  int width;
  const char* error;         // nullptr: the file loads
  const char* changes = "";  // loaded: "item value ..." where it differs from the unpatched file
  std::size_t fault = 0;     // refused: where, when not at `at`
};

const Patch patches[] = {
    {"id", 0, 'e', 1, "not an XM file"},
    {"version", 58, 0x0105, 2, "version 0x0105 is not supported"},
    {"header size", 60, 19, 4, "header size 19 is too small"},
    {"orders past the header", 60, 22, 4, "no room for 3 orders"},
    {"no channels", 68, 0, 2, "0 channels"},
    {"33 channels", 68, 33, 2, "33 channels"},
    {"patterns", 70, 257, 2, "257 patterns (at most 256)"},
    {"instruments", 72, 129, 2, "129 instruments (at most 128)"},
    {"pattern header", pattern0, 8, 4, "pattern 0: header length 8 is too small"},
    {"rows", pattern1 + 5, 257, 2, "pattern 1: 257 rows"},
    // One row's three cells are the data's first 7 bytes.
    {"cells past the rows", pattern0 + 5, 1, 2, "0: packed data overruns its rows", "",
     pattern0 + 16},
    {"cell past the data", pattern0 + 7, 3, 2, "0: a cell runs past its packed data", "",
     pattern0 + 12},
    {"data past the end", pattern0 + 7, 0xFFFF, 2, "ends inside pattern 0's packed data", "", size},
    {"instrument size", keys_at, 28, 4, "instrument 1: header size 28 is too small (at least 29)"},
    {"samples", keys_at + 27, 17, 2, "instrument 1: 17 samples (at most 16)"},
    {"sample header", keys_at + 29, 39, 4, "instrument 1: sample header size 39 is too small"},

    {"song length 0", 64, 0, 2, nullptr, "orders 1 restart 0"},
    {"restart past the end", 66, 3, 2, nullptr, "restart 0"},
    {"speed 0, BPM 20", 76, 20 << 16, 4, nullptr, "speed 6 bpm 32"},
    {"speed 40, BPM 300", 76, 300 << 16 | 40, 4, nullptr, "speed 31 bpm 255"},
    {"0 rows", pattern1 + 5, 0, 2, nullptr, "rows 64"},
    {"order past the patterns", 81, 5, 1, nullptr, "patterns 6"},
    {"cell values", pattern0 + 9, 0x2440'8162, 4, nullptr, "note 0 instrument 0 effect 0 param 0"},
    {"13 envelope points", keys_at + 225, 13, 1, nullptr},
    // A loop ending past the last point is never reached; one ending before its start still
    // goes back to it.
    {"marks", keys_at + 227, 0x0F'0A'14, 3, nullptr,
     "sustain 11 loop_start 10 loop_end 11 loop_on 0"},
    {"loop ending before its start", keys_at + 229, 4, 1, nullptr, "loop_end 4"},
    {"ticks not rising", keys_at + 129 + 16, 30, 2, nullptr,
     "points 4 loop_start 5 loop_end 3 loop_on 0"},
    // Ping-pong: after the end, frame 4 (500) again.
    {"loop type 3", loud_at + 14, 0x13, 1, nullptr, "loop 2 guard 500"},
    {"loop length 0", loud_at + 8, 0, 4, nullptr, "loop 0 length 7 loop_length 0 guard 0"},
    {"loop past the end", loud_at + 8, 100, 4, nullptr, "length 7 loop_length 5"},
    // Header sizes say how much to skip; a 16-bit sample's odd last byte is passed over.
    {"longer instrument header", loud_at, keys_at, -2, nullptr},
    {"longer pattern header", pattern0 + 9, pattern0, -2, nullptr},
    {"longer song header", pattern0, 60, -4, nullptr},
    {"odd 16-bit length", soft_data, loud_at, -1, nullptr},
    // Frames that never arrived are silence, but no more than 2^24 of them.
    {"last sample claims 4 GB", last_at, 0xFFFF'FFFF, 4, nullptr, "last_length 16777219"},
    // Auto-vibrato depth and rate as far as FastTracker 2 takes them (the module has 12 and 30).
    {"auto-vibrato past its range", keys_at + 237, 0xFFFF, 2, nullptr, "depth 15 rate 63"},
};

TEST(Load, PatchedFiles) {
  const Bytes whole = xmwrite::file_bytes(small_module(0x0104));
  const Ints unpatched = summary(xm::load(whole).module);
  for (const Patch& c : patches) {
    Bytes b = whole;
    if (c.width < 0) b.insert(b.begin() + std::ptrdiff_t(c.at), std::size_t(-c.width), 0xEE);
    if (c.width < 0) b[c.value] = std::uint8_t(b[c.value] - c.width);
    for (int k = 0; k < c.width; ++k) b[c.at + std::size_t(k)] = std::uint8_t(c.value >> (8 * k));
    const xm::LoadResult r = xm::load(b);
    if (!c.error) {
      ASSERT_TRUE(r.ok()) << c.what << ": " << r.message();
      Ints want = unpatched;
      std::istringstream changes(c.changes);
      for (std::string item; changes >> item;)
        changes >> want[std::size_t(std::find(std::begin(items), std::end(items), item) - items)];
      EXPECT_EQ(summary(r.module), want) << c.what;
    } else {
      EXPECT_NE(r.error.find(c.error), std::string::npos) << c.what << ": " << r.message();
      const std::size_t fault = c.fault != 0 ? c.fault : c.at;
      EXPECT_EQ(r.message(), "at byte " + std::to_string(fault) + ": " + r.error) << c.what;
    }
  }
}

// Cut at each kind of place: what is missing, and what the song keeps (patterns, pattern 0's rows
// and cells holding something, instruments, instrument 1's samples and its first sample's playable
// frames). Missing cells are empty, missing frames silent.
struct Cut {
  const char* where;
  std::size_t at;
  std::string missing;
  Ints kept;  // patterns, rows, cells, instruments, samples, frames...
};

const std::string no_instruments = "instruments 1 to 3 are missing";
const Ints whole_frames = {100, -200, 300, -400, 500};
const Cut cuts[] = {
    {"after the orders", 83, "patterns 0 to 1 are missing; " + no_instruments, {2, 64, 0, 3, 0}},
    {"in a pattern header",
     pattern0 + 4,
     "patterns 0 to 1 are missing; " + no_instruments,
     {2, 64, 0, 3, 0}},
    // The first row's three cells are 7 bytes.
    {"in a row",
     pattern0 + 15,
     "pattern 0 holds 0 of 16 rows; pattern 1 is missing; " + no_instruments,
     {2, 16, 1, 3, 0}},
    {"after a row",
     pattern0 + 16,
     "pattern 0 holds 1 of 16 rows; pattern 1 is missing; " + no_instruments,
     {2, 16, 1, 3, 0}},
    {"in an instrument's size", keys_at + 2, no_instruments, {2, 16, 3, 3, 0}},
    {"in an instrument header", keys_at + 100, no_instruments, {2, 16, 3, 3, 0}},
    {"in a sample header", loud_at + 50, no_instruments, {2, 16, 3, 3, 0}},
    {"at a sample's data",
     loud_data,
     "samples 0 to 1 of instrument 1 hold no frames; instruments 2 to 3 are missing",
     {2, 16, 3, 3, 2, 0, 0, 0, 0, 0}},
    {"in a 16-bit frame",
     loud_data + 7,
     "sample 0 of instrument 1 holds 3 of 7 frames; sample 1 of instrument 1 holds no frames; "
     "instruments 2 to 3 are missing",
     {2, 16, 3, 3, 2, 100, -200, 300, 0, 0}},
    {"in the last sample",
     size - 4,
     "sample 0 of instrument 3 holds 1 of 3 frames",
     {2, 16, 3, 3, 2, 100, -200, 300, -400, 500}},
};

TEST(Load, CutFiles) {
  const Bytes whole = xmwrite::file_bytes(small_module(0x0104));
  for (const Cut& c : cuts) {
    const xm::LoadResult r = xm::load(Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(c.at)));
    ASSERT_TRUE(r.ok()) << c.where << ": " << r.message();
    EXPECT_EQ(r.missing_text(), c.missing) << c.where;
    const xm::Module& m = r.module;
    const auto& cells = m.patterns[0].cells;
    const auto& samples = m.instruments[0].samples;
    Ints kept =
        ints(m.patterns.size(), m.patterns[0].rows,
             std::count_if(cells.begin(), cells.end(),
                           [](const xm::Cell& x) {
                             return x.note + x.instrument + x.volume + x.effect + x.param > 0;
                           }),
             m.instruments.size(), samples.size());
    if (!samples.empty()) {
      const xm::Sample& loud = samples[0];
      kept.insert(kept.end(), loud.data.begin() + xm::sample_guard,
                  loud.data.begin() + xm::sample_guard + loud.length);
    }
    EXPECT_EQ(kept, c.kept) << c.where;
  }
}

}  // namespace
