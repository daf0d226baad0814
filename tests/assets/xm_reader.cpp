#include "tests/assets/xm_reader.h"

#include <string_view>
#include <utility>

namespace xmfile {
namespace {

constexpr std::string_view xm_id = "Extended Module: ";
constexpr std::uint16_t xm_version = 0x0104;
// From the header size field: the fields up to the BPM, then the 256-entry order table.
constexpr std::uint32_t song_header_size = 20 + 256;
constexpr std::uint32_t pattern_header_size = 9;
constexpr std::uint32_t instrument_head_size = 29;             // size, name, type, sample count
constexpr std::uint32_t instrument_header_with_samples = 243;  // up to the reserved word
constexpr std::uint32_t sample_header_size = 40;
constexpr int max_channels = 32, max_rows = 256, max_patterns = 256, max_instruments = 128,
              max_samples = 16, max_orders = 256;

struct Failure {
  ReadError error;
};

[[noreturn]] void fail(std::size_t offset, std::string what) {
  throw Failure{ReadError{offset, std::move(what)}};
}

std::string str(std::size_t n) { return std::to_string(n); }

class Cursor {
 public:
  explicit Cursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t at() const { return at_; }
  std::size_t left() const { return bytes_.size() - at_; }

  // Fails unless n more bytes are there; `what` names what they would hold.
  void need(std::size_t n, const std::string& what) const {
    if (n > left()) {
      fail(at_, what + " needs " + str(n) + " bytes, only " + str(left()) + " left in the file");
    }
  }
  void seek(std::size_t offset, const std::string& what) {
    if (offset > bytes_.size()) {
      fail(at_, what + " would end at byte " + str(offset) + ", past the end of the file (" +
                    str(bytes_.size()) + " bytes)");
    }
    at_ = offset;
  }

  std::uint8_t u8() {
    need(1, "a byte");
    return bytes_[at_++];
  }
  std::uint16_t u16() {
    need(2, "a 16-bit word");
    const auto v = static_cast<std::uint16_t>(bytes_[at_] | (bytes_[at_ + 1] << 8));
    at_ += 2;
    return v;
  }
  std::uint32_t u32() {
    need(4, "a 32-bit word");
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | bytes_[at_ + static_cast<std::size_t>(i)];
    at_ += 4;
    return v;
  }
  std::string text(std::size_t n) {
    need(n, "a text field");
    std::string s(reinterpret_cast<const char*>(bytes_.data() + at_), n);
    at_ += n;
    return s;
  }
  std::uint8_t byte_at(std::size_t offset) const { return bytes_[offset]; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

// Names are padded with spaces or zeros; what is left is the name.
std::string trimmed(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

void read_header(Cursor& c, Module& m) {
  c.need(60, "the module header");
  m.id = c.text(xm_id.size());
  if (m.id != xm_id) fail(0, "the file does not start with \"Extended Module: \"");
  m.name = trimmed(c.text(20));
  m.marker = c.u8();
  if (m.marker != 0x1A) fail(37, "byte 37 is " + str(m.marker) + ", not 0x1A");
  m.tracker = trimmed(c.text(20));
  m.version = c.u16();
  if (m.version != xm_version) {
    fail(58, "version " + str(m.version) + " is not 0x0104 (260), the only layout read here");
  }

  const std::size_t size_at = c.at();
  m.header_size = c.u32();
  if (m.header_size < song_header_size) {
    fail(size_at, "header size " + str(m.header_size) + " leaves no room for the order table (" +
                      str(song_header_size) + " bytes)");
  }
  c.need(song_header_size - 4, "the song header");
  m.song_length = c.u16();
  m.restart = c.u16();
  m.channels = c.u16();
  m.pattern_count = c.u16();
  m.instrument_count = c.u16();
  m.flags = c.u16();
  m.speed = c.u16();
  m.bpm = c.u16();
  if (m.song_length > max_orders) {
    fail(size_at + 4, "song length " + str(static_cast<std::size_t>(m.song_length)) +
                          " is more than the 256 orders the table holds");
  }
  if (m.channels < 1 || m.channels > max_channels) {
    fail(size_at + 8,
         "channel count " + str(static_cast<std::size_t>(m.channels)) + " is outside 1..32");
  }
  if (m.pattern_count > max_patterns) {
    fail(size_at + 10,
         "pattern count " + str(static_cast<std::size_t>(m.pattern_count)) + " is more than 256");
  }
  if (m.instrument_count > max_instruments) {
    fail(size_at + 12, "instrument count " + str(static_cast<std::size_t>(m.instrument_count)) +
                           " is more than 128");
  }
  const std::size_t table_at = c.at();
  for (int i = 0; i < m.song_length; ++i) m.orders.push_back(c.byte_at(table_at + i));
  c.seek(size_at + m.header_size, "the song header");
}

void read_cells(Cursor& c, Pattern& p, int index) {
  const std::size_t cell_count = static_cast<std::size_t>(p.rows) * p.channels;
  p.cells.assign(cell_count, Cell{});
  if (p.packed_size == 0) return;  // a pattern with nothing in it is not stored
  const std::string name = "pattern " + str(static_cast<std::size_t>(index));
  c.need(p.packed_size, name + " packed data");
  const std::size_t start = c.at(), end = start + p.packed_size;
  std::size_t filled = 0;
  while (c.at() < end) {
    const std::size_t cell_at = c.at();
    if (filled == cell_count) {
      fail(cell_at, name + " has " + str(end - cell_at) + " packed bytes left after its " +
                        str(cell_count) + " cells");
    }
    const std::uint8_t first = c.u8();
    std::uint8_t fields[5] = {0, 0, 0, 0, 0};
    unsigned present = 0x1F;  // a cell without a flag byte has every field, the note first
    std::size_t next = 0;
    if (first & 0x80) {
      present = first & 0x1F;
      if (first & 0x60) {
        fail(cell_at,
             name + " cell " + str(filled) + " has unused flag bits set (" + str(first) + ")");
      }
    } else {
      fields[next++] = first;
    }
    for (; next < 5; ++next) {
      if (!(present & (1u << next))) continue;
      if (c.at() >= end) {
        fail(c.at(), name + " packed data ends inside cell " + str(filled) + " (row " +
                         str(filled / p.channels) + ")");
      }
      fields[next] = c.u8();
    }
    p.cells[filled++] = Cell{fields[0], fields[1], fields[2], fields[3], fields[4]};
  }
  if (filled != cell_count) {
    fail(end, name + " packed data holds " + str(filled) + " cells, not the " + str(cell_count) +
                  " of " + str(static_cast<std::size_t>(p.rows)) + " rows x " +
                  str(static_cast<std::size_t>(p.channels)) + " channels");
  }
}

Pattern read_pattern(Cursor& c, int channels, int index) {
  const std::string name = "pattern " + str(static_cast<std::size_t>(index));
  Pattern p;
  p.offset = c.at();
  p.channels = channels;
  c.need(pattern_header_size, name + " header");
  p.header_length = c.u32();
  if (p.header_length < pattern_header_size) {
    fail(p.offset, name + " header length " + str(p.header_length) + " is less than 9");
  }
  const std::uint8_t packing = c.u8();
  if (packing != 0) fail(p.offset + 4, name + " packing type " + str(packing) + " is not 0");
  p.rows = c.u16();
  if (p.rows < 1 || p.rows > max_rows) {
    fail(p.offset + 5,
         name + " row count " + str(static_cast<std::size_t>(p.rows)) + " is outside 1..256");
  }
  p.packed_size = c.u16();
  c.seek(p.offset + p.header_length, name + " header");
  read_cells(c, p, index);
  return p;
}

Envelope read_envelope_points(Cursor& c) {
  Envelope e;
  for (EnvelopePoint& point : e.points) {
    point.tick = c.u16();
    point.value = c.u16();
  }
  return e;
}

Sample read_sample_header(Cursor& c, std::uint32_t stride, const std::string& name) {
  Sample s;
  s.header_offset = c.at();
  c.need(stride, name + " header");
  s.length = c.u32();
  s.loop_start = c.u32();
  s.loop_length = c.u32();
  s.volume = c.u8();
  s.finetune = static_cast<std::int8_t>(c.u8());
  s.type = c.u8();
  s.panning = c.u8();
  s.relative_note = static_cast<std::int8_t>(c.u8());
  c.u8();  // reserved
  s.name = trimmed(c.text(22));
  if (s.sixteen_bit()) {
    const char* odd = s.length % 2        ? "length"
                      : s.loop_start % 2  ? "loop start"
                      : s.loop_length % 2 ? "loop length"
                                          : nullptr;
    if (odd != nullptr) {
      fail(s.header_offset, name + " is 16-bit but its " + odd + " is an odd number of bytes");
    }
  }
  c.seek(s.header_offset + stride, name + " header");
  return s;
}

// Sample data is stored as differences from the previous frame, wrapping in 8 or 16 bits.
void read_sample_data(Cursor& c, Sample& s, const std::string& name) {
  s.data_offset = c.at();
  c.need(s.length, name + " data");
  s.data.resize(s.frames());
  if (s.sixteen_bit()) {
    std::uint16_t value = 0;
    for (std::int16_t& frame : s.data) {
      value = static_cast<std::uint16_t>(value + c.u16());
      frame = static_cast<std::int16_t>(value);
    }
  } else {
    std::uint8_t value = 0;
    for (std::int16_t& frame : s.data) {
      value = static_cast<std::uint8_t>(value + c.u8());
      frame = static_cast<std::int8_t>(value);
    }
  }
}

Instrument read_instrument(Cursor& c, int index) {
  const std::string name = "instrument " + str(static_cast<std::size_t>(index + 1));
  Instrument in;
  in.offset = c.at();
  c.need(instrument_head_size, name + " header");
  in.header_size = c.u32();
  if (in.header_size < instrument_head_size) {
    fail(in.offset, name + " header size " + str(in.header_size) + " is less than 29");
  }
  c.need(in.header_size - 4, name + " header");
  in.name = trimmed(c.text(22));
  in.type = c.u8();
  in.sample_count = c.u16();
  if (in.sample_count > max_samples) {
    fail(in.offset + 27, name + " has " + str(static_cast<std::size_t>(in.sample_count)) +
                             " samples, more than 16");
  }
  if (in.sample_count > 0) {
    if (in.header_size < instrument_header_with_samples) {
      fail(in.offset,
           name + " has samples but its header size " + str(in.header_size) + " is less than 243");
    }
    in.sample_header_size = c.u32();
    if (in.sample_header_size < sample_header_size) {
      fail(in.offset + 29,
           name + " sample header size " + str(in.sample_header_size) + " is less than 40");
    }
    for (std::uint8_t& k : in.keymap) k = c.u8();
    in.volume = read_envelope_points(c);
    in.panning = read_envelope_points(c);
    in.volume.count = c.u8();
    in.panning.count = c.u8();
    in.volume.sustain = c.u8();
    in.volume.loop_start = c.u8();
    in.volume.loop_end = c.u8();
    in.panning.sustain = c.u8();
    in.panning.loop_start = c.u8();
    in.panning.loop_end = c.u8();
    in.volume.type = c.u8();
    in.panning.type = c.u8();
    in.vibrato_type = c.u8();
    in.vibrato_sweep = c.u8();
    in.vibrato_depth = c.u8();
    in.vibrato_rate = c.u8();
    in.fadeout = c.u16();
  }
  c.seek(in.offset + in.header_size, name + " header");

  // All sample headers first, then all sample data in the same order.
  for (int i = 0; i < in.sample_count; ++i) {
    in.samples.push_back(read_sample_header(
        c, in.sample_header_size, name + " sample " + str(static_cast<std::size_t>(i + 1))));
  }
  for (int i = 0; i < in.sample_count; ++i) {
    read_sample_data(c, in.samples[static_cast<std::size_t>(i)],
                     name + " sample " + str(static_cast<std::size_t>(i + 1)));
  }
  return in;
}

}  // namespace

std::string ReadError::text() const { return "at byte " + std::to_string(offset) + ": " + what; }

ReadResult read_module(std::span<const std::uint8_t> bytes) {
  ReadResult result;
  Cursor c(bytes);
  try {
    Module& m = result.module;
    read_header(c, m);
    for (int i = 0; i < m.pattern_count; ++i) m.patterns.push_back(read_pattern(c, m.channels, i));
    for (int i = 0; i < m.instrument_count; ++i) m.instruments.push_back(read_instrument(c, i));
    m.consumed = c.at();
  } catch (const Failure& f) {
    result.error = f.error;
  }
  return result;
}

}  // namespace xmfile
