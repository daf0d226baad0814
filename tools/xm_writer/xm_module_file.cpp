#include <algorithm>

#include "tools/xm_writer/xm_module.h"

namespace xmwrite {
namespace {

class Writer {
 public:
  std::vector<std::uint8_t> bytes;

  void u8(unsigned v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
  void u16(unsigned v) {
    u8(v & 0xFF);
    u8((v >> 8) & 0xFF);
  }
  void u32(std::uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  }
  // Fixed-width text field, padded with the given byte and cut to fit.
  void text(const std::string& s, std::size_t width, std::uint8_t pad) {
    for (std::size_t i = 0; i < width; ++i)
      u8(i < s.size() ? static_cast<std::uint8_t>(s[i]) : pad);
  }
  void zeros(std::size_t n) { bytes.insert(bytes.end(), n, 0); }
  void put_u16_at(std::size_t at, unsigned v) {
    bytes[at] = static_cast<std::uint8_t>(v & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
  }
};

constexpr std::uint32_t header_size = 276;  // counted from the header size field itself
constexpr std::uint32_t instrument_header_size = 263;
constexpr std::uint32_t empty_instrument_header_size = 29;  // up to the sample count
constexpr std::uint32_t sample_header_size = 40;

void write_header(Writer& w, const Module& m) {
  w.text("Extended Module: ", 17, 0);
  w.text(m.name, 20, ' ');
  w.u8(0x1A);
  w.text(m.tracker, 20, ' ');
  w.u16(m.version);
  w.u32(header_size);
  w.u16(static_cast<unsigned>(m.orders.size()));
  w.u16(static_cast<unsigned>(m.restart));
  w.u16(static_cast<unsigned>(m.channels));
  w.u16(static_cast<unsigned>(m.patterns.size()));
  w.u16(static_cast<unsigned>(m.instruments.size()));
  w.u16(m.linear_frequencies ? 1 : 0);
  w.u16(static_cast<unsigned>(m.speed));
  w.u16(static_cast<unsigned>(m.bpm));
  for (std::size_t i = 0; i < 256; ++i) w.u8(i < m.orders.size() ? m.orders[i] : 0);
}

// A cell with every field present is stored whole; any other starts with a byte of flags saying
// which fields follow.
void write_cell(Writer& w, const Cell& c) {
  const std::uint8_t fields[5] = {c.note, c.instrument, c.volume, c.effect, c.param};
  unsigned flags = 0;
  for (unsigned i = 0; i < 5; ++i) {
    if (fields[i] != 0) flags |= 1u << i;
  }
  if (flags == 0x1F) {
    for (std::uint8_t f : fields) w.u8(f);
    return;
  }
  w.u8(0x80 | flags);
  for (unsigned i = 0; i < 5; ++i) {
    if (flags & (1u << i)) w.u8(fields[i]);
  }
}

void write_pattern(Writer& w, const Pattern& p, std::uint16_t version) {
  if (version == 0x0102) {  // the row count less one, in a byte
    w.u32(8);
    w.u8(0);
    w.u8(static_cast<unsigned>(p.rows - 1));
  } else {
    w.u32(9);  // pattern header length
    w.u8(0);   // packing type
    w.u16(static_cast<unsigned>(p.rows));
  }
  const std::size_t size_at = w.bytes.size();
  w.u16(0);
  const std::size_t start = w.bytes.size();
  // FastTracker 2 stores an empty pattern as no data at all.
  const bool empty = std::all_of(p.cells.begin(), p.cells.end(), [](const Cell& c) {
    return c.note == 0 && c.instrument == 0 && c.volume == 0 && c.effect == 0 && c.param == 0;
  });
  if (empty) return;
  for (const Cell& c : p.cells) write_cell(w, c);
  w.put_u16_at(size_at, static_cast<unsigned>(w.bytes.size() - start));
}

void write_envelope_points(Writer& w, const Envelope& e) {
  for (std::size_t i = 0; i < 12; ++i) {
    const EnvelopePoint p = i < e.points.size() ? e.points[i] : EnvelopePoint{0, 0};
    w.u16(p.tick);
    w.u16(p.value);
  }
}

void write_envelope_marks(Writer& w, const Envelope& e) {
  w.u8(static_cast<unsigned>(std::max(e.sustain, 0)));
  w.u8(static_cast<unsigned>(std::max(e.loop_start, 0)));
  w.u8(static_cast<unsigned>(std::max(e.loop_end, 0)));
}

unsigned envelope_type(const Envelope& e) {
  if (e.points.empty()) return 0;
  return 1u | (e.sustain >= 0 ? 2u : 0u) | (e.loop_start >= 0 ? 4u : 0u);
}

std::uint32_t bytes_per_frame(const Sample& s) { return s.sixteen_bit ? 2 : 1; }

void write_sample_header(Writer& w, const Sample& s) {
  const std::uint32_t b = bytes_per_frame(s);
  const bool looped = s.loop != Loop::none;
  w.u32(static_cast<std::uint32_t>(s.frames.size()) * b);
  w.u32(looped ? s.loop_start * b : 0);
  w.u32(looped ? s.loop_length * b : 0);
  w.u8(s.volume);
  w.u8(static_cast<std::uint8_t>(s.finetune));
  w.u8(static_cast<unsigned>(s.loop) | (s.sixteen_bit ? 0x10u : 0u));
  w.u8(s.panning);
  w.u8(static_cast<std::uint8_t>(s.relative_note));
  w.u8(0);
  w.text(s.name, 22, 0);
}

// Sample data as differences from the previous frame, wrapping in 8 or 16 bits.
void write_sample_data(Writer& w, const Sample& s) {
  std::uint16_t previous = 0;
  for (std::int16_t f : s.frames) {
    const auto value = static_cast<std::uint16_t>(f);
    const auto delta = static_cast<std::uint16_t>(value - previous);
    if (s.sixteen_bit) {
      w.u16(delta);
    } else {
      w.u8(delta & 0xFF);
    }
    previous = value;
  }
}

void write_instrument_headers(Writer& w, const Instrument& in) {
  w.u32(in.samples.empty() ? empty_instrument_header_size : instrument_header_size);
  w.text(in.name, 22, 0);
  w.u8(0);  // type
  w.u16(static_cast<unsigned>(in.samples.size()));
  if (in.samples.empty()) return;
  w.u32(sample_header_size);
  for (std::uint8_t k : in.keymap) w.u8(k);
  write_envelope_points(w, in.volume_envelope);
  write_envelope_points(w, in.panning_envelope);
  w.u8(static_cast<unsigned>(in.volume_envelope.points.size()));
  w.u8(static_cast<unsigned>(in.panning_envelope.points.size()));
  write_envelope_marks(w, in.volume_envelope);
  write_envelope_marks(w, in.panning_envelope);
  w.u8(envelope_type(in.volume_envelope));
  w.u8(envelope_type(in.panning_envelope));
  w.u8(in.vibrato_type);
  w.u8(in.vibrato_sweep);
  w.u8(in.vibrato_depth);
  w.u8(in.vibrato_rate);
  w.u16(in.fadeout);
  w.zeros(22);  // reserved, up to the instrument header size
  for (const Sample& s : in.samples) write_sample_header(w, s);
}

void write_instrument_data(Writer& w, const Instrument& in) {
  for (const Sample& s : in.samples) write_sample_data(w, s);
}

}  // namespace

std::vector<std::uint8_t> file_bytes(const Module& module) {
  Writer w;
  write_header(w, module);
  if (module.version >= 0x0104) {
    for (const Pattern& p : module.patterns) write_pattern(w, p, module.version);
    for (const Instrument& in : module.instruments) {
      write_instrument_headers(w, in);
      write_instrument_data(w, in);
    }
    return w.bytes;
  }
  // Older layouts: every instrument's headers, the patterns, then all sample data.
  for (const Instrument& in : module.instruments) write_instrument_headers(w, in);
  for (const Pattern& p : module.patterns) write_pattern(w, p, module.version);
  for (const Instrument& in : module.instruments) write_instrument_data(w, in);
  return w.bytes;
}

}  // namespace xmwrite
