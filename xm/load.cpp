// The XM loader: one bounds-checked reader walks the file; every count, size and offset is checked
// before anything is allocated for it. How oddities are read is listed in xm/load.h; patterns and
// instruments are read in load_pattern.cpp and load_instrument.cpp.
#include "xm/load.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "xm/load_reader.h"

namespace xm {
namespace loading {

std::string num(std::uint64_t n) { return std::to_string(n); }

bool Reader::fail(std::size_t offset, std::string what) {
  if (!failed_) {
    failed_ = true;
    fault_offset_ = offset;
    fault_ = std::move(what);
  }
  return false;
}

bool Reader::need(std::uint64_t n, const char* what) {
  return n <= left() || fail(bytes_.size(), std::string("the file ends inside ") + what);
}

std::string Reader::text(std::size_t width) {
  const auto s = take(width);
  std::string t(s.begin(), std::find(s.begin(), s.end(), std::uint8_t{0}));
  while (!t.empty() && t.back() == ' ') t.pop_back();
  return t;
}

namespace {

constexpr std::string_view xm_id = "Extended Module: ";
constexpr std::size_t version_at = 58, header_size_at = 60, fields_at = 64;
constexpr std::uint32_t song_fields = 20;  // header size field up to the BPM, before the orders
constexpr int default_speed = 6, default_bpm = 125;
constexpr int max_speed = 31, min_bpm = 32, max_bpm = 255;
// Frames of silence that may stand in for the sample data of a file that ends early: six minutes
// at 44,100 Hz, 32 MB.
constexpr std::uint64_t max_silent_frames = std::uint64_t{1} << 24;

struct Counts {
  int song_length = 0, patterns = 0, instruments = 0;
};

std::string hex4(unsigned v) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string s = "0x";
  for (int shift = 12; shift >= 0; shift -= 4) s.push_back(digits[(v >> shift) & 0xF]);
  return s;
}

// The song header up to its order table, which must all be there: without them there is no song.
bool read_header(Reader& r, Module& m, Counts& c) {
  if (r.size() < xm_id.size() ||
      std::memcmp(r.take(xm_id.size()).data(), xm_id.data(), xm_id.size()) != 0) {
    return r.fail(0, "not an XM file: it does not start with \"Extended Module: \"");
  }
  if (!r.need(20, "the song name")) return false;
  m.name = r.text(20);
  if (!r.need(1, "a field")) return false;
  r.u8();  // 0x1A, which FastTracker 2 does not check
  if (!r.need(20, "the tracker name")) return false;
  m.tracker = r.text(20);
  if (!r.need(2, "the version")) return false;
  m.version = r.u16();
  if (m.version < 0x0102 || m.version > 0x0104) {
    return r.fail(version_at,
                  "version " + hex4(m.version) + " is not supported (0x0102 to 0x0104 are)");
  }
  if (!r.need(song_fields, "the song header")) return false;
  const std::uint32_t header_size = r.u32();
  if (header_size < song_fields) {
    return r.fail(header_size_at, "header size " + num(header_size) +
                                      " is too small for its fields (at least " + num(song_fields) +
                                      ")");
  }
  const unsigned length = r.u16();
  // FastTracker 2 plays one order of an empty song and keeps at most 256.
  c.song_length = std::clamp<int>(static_cast<int>(length), 1, max_orders);
  m.restart = r.u16();
  m.channels = r.u16();
  c.patterns = r.u16();
  c.instruments = r.u16();
  m.linear_frequencies = (r.u16() & 1) != 0;
  const int speed = r.u16(), bpm = r.u16();
  m.speed = speed == 0 ? default_speed : std::min(speed, max_speed);
  m.bpm = bpm == 0 ? default_bpm : std::clamp(bpm, min_bpm, max_bpm);
  if (m.channels == 0 || m.channels > max_channels) {
    return r.fail(fields_at + 4, num(static_cast<unsigned>(m.channels)) + " channels (1 to " +
                                     num(max_channels) + " are playable)");
  }
  if (c.patterns > max_patterns) {
    return r.fail(fields_at + 6, num(static_cast<unsigned>(c.patterns)) + " patterns (at most " +
                                     num(max_patterns) + ")");
  }
  if (c.instruments > max_instruments) {
    return r.fail(fields_at + 8, num(static_cast<unsigned>(c.instruments)) +
                                     " instruments (at most " + num(max_instruments) + ")");
  }
  if (header_size < song_fields + static_cast<unsigned>(c.song_length)) {
    return r.fail(header_size_at, "header size " + num(header_size) + " has no room for " +
                                      num(static_cast<unsigned>(c.song_length)) + " orders");
  }
  if (!r.need(static_cast<std::size_t>(c.song_length), "the order table")) return false;
  const auto orders = r.take(static_cast<std::size_t>(c.song_length));
  m.orders.assign(orders.begin(), orders.end());
  if (m.restart >= c.song_length) m.restart = 0;
  r.seek(header_size_at + std::uint64_t{header_size});
  return true;
}

// The patterns as far as the file holds them; false on a fault. Those that never arrived are
// empty.
bool read_patterns(Reader& r, Module& m, int count, std::vector<Missing>& missing) {
  for (int p = 0; p < count; ++p) {
    Pattern& pattern = m.patterns.emplace_back();
    const Got got = read_pattern(r, p, m.channels, m.version, pattern, missing);
    if (r.failed()) return false;
    if (got == Got::whole) continue;
    if (got == Got::none) pattern = empty_pattern(m.channels);
    const int first = got == Got::none ? p : p + 1;
    if (first < count) {
      missing.push_back({.part = Missing::Part::patterns,
                         .index = first,
                         .of = static_cast<std::uint32_t>(count)});
    }
    while (static_cast<int>(m.patterns.size()) < count)
      m.patterns.push_back(empty_pattern(m.channels));
    break;
  }
  return true;
}

void missing_instruments(int first, int count, std::vector<Missing>& missing) {
  if (first < count) {
    missing.push_back({.part = Missing::Part::instruments,
                       .index = first + 1,
                       .of = static_cast<std::uint32_t>(count)});
  }
}

// Instrument headers from 0 on as far as they arrived whole; how many did. Their sample headers
// go to `headers`.
int read_instrument_headers(Reader& r, Module& m, int count,
                            std::vector<std::vector<SampleHeader>>& headers) {
  for (int i = 0; i < count; ++i) {
    const Got got =
        read_instrument(r, i, m.instruments[static_cast<std::size_t>(i)], headers[std::size_t(i)]);
    if (got != Got::whole) return i;
  }
  return count;
}

bool read_body(Reader& r, Module& m, const Counts& c, std::vector<Missing>& missing) {
  m.patterns.reserve(max_patterns);
  m.instruments.resize(static_cast<std::size_t>(c.instruments));
  for (Instrument& in : m.instruments) make_blank(in);
  std::vector<std::vector<SampleHeader>> headers(m.instruments.size());
  std::uint64_t silence = max_silent_frames;
  if (m.version == 0x0104) {
    // Patterns, then each instrument with its sample headers and data.
    if (!read_patterns(r, m, c.patterns, missing)) return false;
    for (int i = 0; i < c.instruments; ++i) {
      Instrument& in = m.instruments[static_cast<std::size_t>(i)];
      const Got got = read_instrument(r, i, in, headers[static_cast<std::size_t>(i)]);
      if (r.failed()) return false;
      if (got != Got::whole ||
          !read_sample_data(r, i, in, headers[std::size_t(i)], silence, missing)) {
        missing_instruments(got == Got::whole ? i + 1 : i, c.instruments, missing);
        return true;
      }
    }
    return true;
  }
  // Older files hold every instrument's headers first, then the patterns, then all sample data.
  const int arrived = read_instrument_headers(r, m, c.instruments, headers);
  if (r.failed()) return false;
  missing_instruments(arrived, c.instruments, missing);
  if (!read_patterns(r, m, c.patterns, missing)) return false;
  // Once the file has ended, each instrument after says its samples hold nothing.
  for (int i = 0; i < arrived; ++i) {
    const auto k = static_cast<std::size_t>(i);
    read_sample_data(r, i, m.instruments[k], headers[k], silence, missing);
  }
  return true;
}

// An order naming a pattern the file lacks plays an empty 64-row one.
void add_ordered_patterns(Module& m) {
  const std::size_t needed = *std::max_element(m.orders.begin(), m.orders.end()) + std::size_t{1};
  while (m.patterns.size() < needed) m.patterns.push_back(empty_pattern(m.channels));
}

}  // namespace
}  // namespace loading

LoadResult load(std::span<const std::uint8_t> bytes) {
  using namespace loading;
  LoadResult result;
  Reader r(bytes);
  Counts c;
  if (read_header(r, result.module, c) && read_body(r, result.module, c, result.missing)) {
    add_ordered_patterns(result.module);
    return result;
  }
  result.module = Module{};
  result.missing.clear();
  result.error = std::move(r.fault());
  result.offset = r.fault_offset();
  return result;
}

}  // namespace xm
