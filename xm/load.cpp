// The XM loader: one bounds-checked reader walks the file; every count, size and offset is checked
// before anything is allocated for it. How oddities are read is listed in xm/load.h.
#include "xm/load.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

namespace xm {
namespace {

constexpr std::string_view xm_id = "Extended Module: ";
constexpr std::size_t version_at = 58, header_size_at = 60, fields_at = 64;
constexpr std::uint32_t song_fields = 20;      // header size field up to the BPM, before the orders
constexpr std::uint32_t instrument_head = 29;  // size, name, type, sample count
constexpr std::uint32_t instrument_with_samples = 243;  // up to the fadeout
constexpr std::uint32_t sample_header_min = 40;
constexpr int default_speed = 6, default_bpm = 125;
constexpr int max_speed = 31, min_bpm = 32, max_bpm = 255;
constexpr int empty_pattern_rows = 64;
constexpr std::uint8_t max_effect = 35;

struct Fault {
  std::size_t offset;
  std::string what;
};

[[noreturn]] void fail(std::size_t offset, std::string what) {
  throw Fault{offset, std::move(what)};
}

std::string num(std::uint64_t n) { return std::to_string(n); }

std::string hex4(unsigned v) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string s = "0x";
  for (int shift = 12; shift >= 0; shift -= 4) s.push_back(digits[(v >> shift) & 0xF]);
  return s;
}

// The one way the loader touches the input: every read is checked against its end. Running out
// is a fault at the input's size, naming what was being read.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t pos() const { return pos_; }
  std::size_t size() const { return bytes_.size(); }
  std::size_t left() const { return bytes_.size() - pos_; }

  void need(std::uint64_t n, const std::string& what) const {
    if (n > left()) fail(bytes_.size(), "the file ends inside " + what);
  }
  // Moves to `at` (a header's end, past fields this loader does not know).
  void seek(std::uint64_t at, const std::string& what) {
    if (at > bytes_.size()) fail(bytes_.size(), "the file ends inside " + what);
    pos_ = static_cast<std::size_t>(at);
  }
  std::uint8_t u8() {
    need(1, "a field");
    return bytes_[pos_++];
  }
  std::uint16_t u16() {
    const unsigned lo = u8();
    return static_cast<std::uint16_t>(lo | (u8() << 8));
  }
  std::uint32_t u32() {
    const std::uint32_t lo = u16();
    return lo | (static_cast<std::uint32_t>(u16()) << 16);
  }
  std::span<const std::uint8_t> take(std::size_t n, const std::string& what) {
    need(n, what);
    const auto s = bytes_.subspan(pos_, n);
    pos_ += n;
    return s;
  }
  // A fixed-width text field: up to its first NUL, trailing spaces dropped.
  std::string text(std::size_t width, const std::string& what) {
    const auto s = take(width, what);
    std::string t(s.begin(), std::find(s.begin(), s.end(), std::uint8_t{0}));
    while (!t.empty() && t.back() == ' ') t.pop_back();
    return t;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

struct Counts {
  int song_length = 0, patterns = 0, instruments = 0;
};

// A sample header as stored: lengths and loop points in bytes.
struct SampleHeader {
  std::size_t at = 0;
  std::uint32_t length = 0, loop_start = 0, loop_length = 0;
  std::uint8_t type = 0;
};

std::string instrument_name(int i) { return "instrument " + num(static_cast<unsigned>(i) + 1); }
std::string sample_name(int i, int s) { return instrument_name(i) + " sample " + num(s); }

Counts read_header(Reader& r, Module& m) {
  if (r.size() < xm_id.size() ||
      std::memcmp(r.take(xm_id.size(), "the id").data(), xm_id.data(), xm_id.size()) != 0) {
    fail(0, "not an XM file: it does not start with \"Extended Module: \"");
  }
  m.name = r.text(20, "the song name");
  r.u8();  // 0x1A, which FastTracker 2 does not check
  m.tracker = r.text(20, "the tracker name");
  r.need(2, "the version");
  m.version = r.u16();
  if (m.version < 0x0102 || m.version > 0x0104) {
    fail(version_at, "version " + hex4(m.version) + " is not supported (0x0102 to 0x0104 are)");
  }
  r.need(song_fields, "the song header");
  const std::uint32_t header_size = r.u32();
  if (header_size < song_fields) {
    fail(header_size_at, "header size " + num(header_size) +
                             " is too small for its fields (at least " + num(song_fields) + ")");
  }
  Counts c;
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
    fail(fields_at + 4, num(static_cast<unsigned>(m.channels)) + " channels (1 to " +
                            num(max_channels) + " are playable)");
  }
  if (c.patterns > max_patterns) {
    fail(fields_at + 6,
         num(static_cast<unsigned>(c.patterns)) + " patterns (at most " + num(max_patterns) + ")");
  }
  if (c.instruments > max_instruments) {
    fail(fields_at + 8, num(static_cast<unsigned>(c.instruments)) + " instruments (at most " +
                            num(max_instruments) + ")");
  }
  if (header_size < song_fields + static_cast<unsigned>(c.song_length)) {
    fail(header_size_at, "header size " + num(header_size) + " has no room for " +
                             num(static_cast<unsigned>(c.song_length)) + " orders");
  }
  const auto orders = r.take(static_cast<std::size_t>(c.song_length), "the order table");
  m.orders.assign(orders.begin(), orders.end());
  if (m.restart >= c.song_length) m.restart = 0;
  r.seek(header_size_at + std::uint64_t{header_size}, "the song header");
  return c;
}

// Packed cells: a byte with bit 7 set says which of the five fields follow; any other byte is the
// note of a cell with all five fields present.
void unpack_cells(std::span<const std::uint8_t> data, std::size_t data_at, Pattern& p,
                  const std::string& name) {
  std::size_t i = 0, cell = 0;
  while (i < data.size()) {
    if (cell == p.cells.size()) fail(data_at + i, name + ": packed data overruns its rows");
    unsigned flags = 0x1F;
    if (data[i] & 0x80) flags = data[i++];
    std::uint8_t field[5] = {};
    for (unsigned f = 0; f < 5; ++f) {
      if (!(flags & (1u << f))) continue;
      if (i == data.size()) fail(data_at + i, name + ": a cell runs past its packed data's end");
      field[f] = data[i++];
    }
    Cell& c = p.cells[cell++];
    // Values FastTracker 2 cannot enter play as nothing.
    c.note = field[0] <= key_off ? field[0] : 0;
    c.instrument = field[1] <= max_instruments ? field[1] : 0;
    c.volume = field[2];
    if (field[3] <= max_effect) {
      c.effect = field[3];
      c.param = field[4];
    }
  }
}

Pattern read_pattern(Reader& r, int index, int channels, std::uint16_t version) {
  const std::string name = "pattern " + num(static_cast<unsigned>(index));
  const std::size_t at = r.pos();
  r.need(4, name + "'s header");
  const std::uint32_t header_length = r.u32();
  // 0x0102 stores the row count less one in a byte.
  const std::uint32_t min_length = version == 0x0102 ? 8 : 9;
  if (header_length < min_length) {
    fail(at, name + ": header length " + num(header_length) + " is too small (at least " +
                 num(min_length) + ")");
  }
  r.need(header_length - 4, name + "'s header");
  r.u8();  // packing type, always 0
  int rows = version == 0x0102 ? r.u8() + 1 : r.u16();
  const std::uint16_t packed_size = r.u16();
  if (rows > max_rows)
    fail(at + 5, name + ": " + num(static_cast<unsigned>(rows)) + " rows (at most 256)");
  if (rows == 0) rows = empty_pattern_rows;
  r.seek(at + std::uint64_t{header_length}, name + "'s header");
  Pattern p;
  p.rows = rows;
  p.cells.resize(static_cast<std::size_t>(rows) * static_cast<std::size_t>(channels));
  const std::size_t data_at = r.pos();
  unpack_cells(r.take(packed_size, name + "'s packed data"), data_at, p, name);
  // A pattern with nothing in it plays as 64 empty rows, as the reproduction of FastTracker 2
  // that this player is checked against reads it (FastTracker 2 itself keeps its rows).
  const bool empty = std::all_of(p.cells.begin(), p.cells.end(), [](const Cell& c) {
    return c.note == 0 && c.instrument == 0 && c.volume == 0 && c.effect == 0 && c.param == 0;
  });
  if (empty && p.rows != empty_pattern_rows) {
    p.rows = empty_pattern_rows;
    p.cells.assign(static_cast<std::size_t>(p.rows) * static_cast<std::size_t>(channels), Cell{});
  }
  return p;
}

// Envelope fields as stored: 12 points of (tick, value) words, then the bytes at `count_at`
// (count), `sustain_at` (sustain, loop start, loop end) and `type_at`.
Envelope read_envelope(std::span<const std::uint8_t> head, std::size_t points_at,
                       std::size_t count_at, std::size_t sustain_at, std::size_t type_at) {
  auto word = [&](std::size_t at) { return static_cast<unsigned>(head[at] | (head[at + 1] << 8)); };
  Envelope e;
  const int stored = std::min<int>(head[count_at], max_envelope_points);
  int count = 0;
  for (; count < stored; ++count) {
    const unsigned tick = word(points_at + 4 * static_cast<std::size_t>(count));
    // Ticks must rise; FastTracker 2's editor never saves it otherwise, so the rest is dropped.
    if (count > 0 && tick <= e.points[static_cast<std::size_t>(count) - 1].tick) break;
    e.points[static_cast<std::size_t>(count)] = {
        static_cast<std::uint16_t>(tick),
        static_cast<std::uint8_t>(
            std::min(word(points_at + 4 * static_cast<std::size_t>(count) + 2), 64u))};
  }
  e.count = static_cast<std::uint8_t>(count);
  const auto last = static_cast<std::uint8_t>(std::max(count - 1, 0));
  e.sustain = std::min(head[sustain_at], last);
  e.loop_start = std::min(head[sustain_at + 1], last);
  e.loop_end = std::min(head[sustain_at + 2], last);
  const std::uint8_t type = head[type_at];
  e.on = (type & 1) && count > 0;
  e.sustain_on = e.on && (type & 2);
  e.loop_on = e.on && (type & 4) && e.loop_start <= e.loop_end;
  return e;
}

// The instrument header and its sample headers; sample data is read later.
void read_instrument(Reader& r, int index, Instrument& in, std::vector<SampleHeader>& headers) {
  const std::string name = instrument_name(index);
  const std::size_t at = r.pos();
  r.need(4, name + "'s header");
  const std::uint32_t size = r.u32();
  if (size < instrument_head) {
    fail(at, name + ": header size " + num(size) + " is too small (at least " +
                 num(instrument_head) + ")");
  }
  r.need(instrument_head - 4, name + "'s header");
  in.name = r.text(22, name);
  r.u8();  // type, which FastTracker 2 ignores
  const unsigned samples = r.u16();
  if (samples > max_samples) {
    fail(at + 27, name + ": " + num(samples) + " samples (at most " + num(max_samples) + ")");
  }
  in.keymap.fill(no_sample);
  std::uint32_t sample_header_size = 0;
  if (samples > 0) {
    if (size < instrument_with_samples) {
      fail(at, name + ": header size " + num(size) + " is too small for samples (at least " +
                   num(instrument_with_samples) + ")");
    }
    const auto head = r.take(instrument_with_samples - instrument_head, name + "'s header");
    sample_header_size = static_cast<std::uint32_t>(head[0] | (head[1] << 8) | (head[2] << 16) |
                                                    (static_cast<std::uint32_t>(head[3]) << 24));
    if (sample_header_size < sample_header_min) {
      fail(at + 29, name + ": sample header size " + num(sample_header_size) +
                        " is too small (at least " + num(sample_header_min) + ")");
    }
    // Offsets below are from the instrument's start, less the 29 bytes already read.
    constexpr std::size_t base = instrument_head;
    for (std::size_t k = 0; k < note_count; ++k) {
      const std::uint8_t s = head[33 - base + k];
      in.keymap[k] = s < samples ? s : no_sample;
    }
    in.volume_envelope = read_envelope(head, 129 - base, 225 - base, 227 - base, 233 - base);
    in.panning_envelope = read_envelope(head, 177 - base, 226 - base, 230 - base, 234 - base);
    in.vibrato_type = head[235 - base] <= 3 ? head[235 - base] : 0;
    in.vibrato_sweep = head[236 - base];
    in.vibrato_depth = head[237 - base];
    in.vibrato_rate = head[238 - base];
    in.fadeout = static_cast<std::uint16_t>(head[239 - base] | (head[240 - base] << 8));
  } else {
    in.fadeout = blank_fadeout;
  }
  r.seek(at + std::uint64_t{size}, name + "'s header");
  in.samples.resize(samples);
  for (unsigned s = 0; s < samples; ++s) {
    const std::string sname = sample_name(index, static_cast<int>(s));
    SampleHeader h;
    h.at = r.pos();
    r.need(sample_header_size, sname + "'s header");
    h.length = r.u32();
    h.loop_start = r.u32();
    h.loop_length = r.u32();
    Sample& out = in.samples[s];
    out.volume = std::min<std::uint8_t>(r.u8(), 64);
    out.finetune = static_cast<std::int8_t>(r.u8());
    h.type = r.u8();
    out.panning = r.u8();
    // FastTracker 2 plays relative notes from -48 (C-4 down to C-0) to +71 (C-0 up to B-5).
    out.relative_note =
        static_cast<std::int8_t>(std::clamp<int>(static_cast<std::int8_t>(r.u8()), -48, 71));
    r.u8();  // reserved
    out.name = r.text(22, sname);
    r.seek(h.at + std::uint64_t{sample_header_size}, sname + "'s header");
    headers.push_back(h);
  }
}

// Frame n after the last playable one (n >= 0) as playing on reads it: silence, the loop again, or
// the loop mirrored. A ping-pong turn plays its end frame twice, as FastTracker 2 does.
std::int16_t frame_after(const Sample& s, const std::int16_t* f, std::uint32_t n) {
  const std::uint32_t len = s.loop_length;
  switch (s.loop) {
    case LoopType::forward:
      return f[s.loop_start + n % len];
    case LoopType::ping_pong: {
      const std::uint32_t t = n % (2 * len);
      return t < len ? f[s.length - 1 - t] : f[s.loop_start + (t - len)];
    }
    case LoopType::none:
      break;
  }
  return 0;
}

void read_sample_data(Reader& r, const SampleHeader& h, Sample& s, bool last_in_file,
                      const std::string& name) {
  std::uint32_t bytes = h.length;
  if (bytes > r.left()) {
    // Other players keep what is there of a file's last sample; so does this loader.
    if (!last_in_file) r.need(bytes, name + "'s data");
    bytes = static_cast<std::uint32_t>(r.left());
  }
  const auto data = r.take(bytes, name + "'s data");
  s.sixteen_bit = (h.type & 0x10) != 0;
  const std::uint32_t per_frame = s.sixteen_bit ? 2 : 1;
  const std::uint32_t frames = bytes / per_frame;  // a 16-bit sample's odd last byte is not a frame
  // Bit 1 marks ping-pong whatever bit 0 says, so type 3 plays ping-pong.
  s.loop = (h.type & 2) ? LoopType::ping_pong : (h.type & 1) ? LoopType::forward : LoopType::none;
  s.loop_start = h.loop_start / per_frame;
  s.loop_length = h.loop_length / per_frame;
  if (s.loop_length == 0 || s.loop_start >= frames) s.loop = LoopType::none;
  if (s.loop == LoopType::none) {
    s.loop_start = s.loop_length = 0;
  } else {
    s.loop_length = std::min(s.loop_length, frames - s.loop_start);
  }
  s.length = s.loop == LoopType::none ? frames : s.loop_start + s.loop_length;

  s.data.assign(std::size_t{s.length} + 2 * sample_guard, 0);
  std::int16_t* f = s.data.data() + sample_guard;
  std::uint16_t value = 0;
  for (std::uint32_t i = 0; i < s.length; ++i) {
    if (s.sixteen_bit) {
      value = static_cast<std::uint16_t>(value + (data[2 * i] | (data[2 * i + 1] << 8)));
      f[i] = static_cast<std::int16_t>(value);
    } else {
      value = static_cast<std::uint8_t>(value + data[i]);
      f[i] = static_cast<std::int16_t>(static_cast<std::int8_t>(value) * 256);
    }
  }
  for (std::uint32_t n = 0; n < sample_guard; ++n) f[s.length + n] = frame_after(s, f, n);
  // Played backwards, a ping-pong loop from frame 0 turns there: the guard before mirrors it.
  if (s.loop == LoopType::ping_pong && s.loop_start == 0) {
    const std::uint32_t len = s.loop_length;
    for (std::uint32_t n = 0; n < sample_guard; ++n) {
      const std::uint32_t t = n % (2 * len);
      s.data[sample_guard - 1 - n] = t < len ? f[t] : f[s.length - 1 - (t - len)];
    }
  }
}

struct SampleRef {
  int instrument, sample;
  SampleHeader header;
};

// Reads the data of `refs` in order; only the last one with any data may be cut short.
void read_all_sample_data(Reader& r, Module& m, const std::vector<SampleRef>& refs,
                          bool file_ends_after) {
  std::size_t last = refs.size();
  for (std::size_t k = 0; k < refs.size(); ++k) {
    if (refs[k].header.length > 0) last = k;
  }
  for (std::size_t k = 0; k < refs.size(); ++k) {
    const SampleRef& ref = refs[k];
    read_sample_data(r, ref.header,
                     m.instruments[static_cast<std::size_t>(ref.instrument)]
                         .samples[static_cast<std::size_t>(ref.sample)],
                     file_ends_after && k == last, sample_name(ref.instrument, ref.sample));
  }
}

std::vector<SampleRef> read_instrument_headers(Reader& r, Module& m, int index) {
  std::vector<SampleHeader> headers;
  read_instrument(r, index, m.instruments[static_cast<std::size_t>(index)], headers);
  std::vector<SampleRef> refs;
  for (std::size_t s = 0; s < headers.size(); ++s) {
    refs.push_back({index, static_cast<int>(s), headers[s]});
  }
  return refs;
}

void read_body(Reader& r, Module& m, const Counts& c) {
  m.patterns.reserve(max_patterns);
  m.instruments.resize(static_cast<std::size_t>(c.instruments));
  auto read_patterns = [&] {
    for (int p = 0; p < c.patterns; ++p)
      m.patterns.push_back(read_pattern(r, p, m.channels, m.version));
  };
  if (m.version == 0x0104) {
    // Patterns, then each instrument with its sample headers and data.
    read_patterns();
    for (int i = 0; i < c.instruments; ++i) {
      read_all_sample_data(r, m, read_instrument_headers(r, m, i), i == c.instruments - 1);
    }
  } else {
    // Older files hold every instrument's headers first, then the patterns, then all sample data.
    std::vector<SampleRef> refs;
    for (int i = 0; i < c.instruments; ++i) {
      for (const SampleRef& ref : read_instrument_headers(r, m, i)) refs.push_back(ref);
    }
    read_patterns();
    read_all_sample_data(r, m, refs, true);
  }
  // An order naming a pattern the file lacks plays an empty 64-row one.
  const std::size_t needed = *std::max_element(m.orders.begin(), m.orders.end()) + std::size_t{1};
  while (m.patterns.size() < needed) {
    Pattern p;
    p.rows = empty_pattern_rows;
    p.cells.resize(static_cast<std::size_t>(empty_pattern_rows) *
                   static_cast<std::size_t>(m.channels));
    m.patterns.push_back(std::move(p));
  }
}

}  // namespace

std::string LoadResult::message() const {
  if (ok()) return "";
  std::string s = "at byte ";
  s.append(std::to_string(offset)).append(": ").append(error);
  return s;
}

LoadResult load(std::span<const std::uint8_t> bytes) {
  LoadResult result;
  Reader r(bytes);
  try {
    const Counts c = read_header(r, result.module);
    read_body(r, result.module, c);
  } catch (const Fault& f) {
    result.module = Module{};
    result.error = f.what;
    result.offset = f.offset;
  }
  return result;
}

}  // namespace xm
