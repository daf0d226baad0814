#include <algorithm>

#include "tools/generate_assets/xm_module.h"

namespace xm {
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
constexpr std::uint32_t sample_header_size = 40;

void write_header(Writer& w, const Module& m) {
  w.text("Extended Module: ", 17, 0);
  w.text(m.name, 20, ' ');
  w.u8(0x1A);
  w.text(m.tracker, 20, ' ');
  w.u16(0x0104);
  w.u32(header_size);
  w.u16(static_cast<unsigned>(m.orders.size()));
  w.u16(static_cast<unsigned>(m.restart));
  w.u16(static_cast<unsigned>(m.channels));
  w.u16(static_cast<unsigned>(m.patterns.size()));
  w.u16(static_cast<unsigned>(m.instruments.size()));
  w.u16(1);  // linear frequency table
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

void write_pattern(Writer& w, const Pattern& p) {
  w.u32(9);  // pattern header length
  w.u8(0);   // packing type
  w.u16(static_cast<unsigned>(p.rows));
  const std::size_t size_at = w.bytes.size();
  w.u16(0);
  const std::size_t start = w.bytes.size();
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

void write_instrument(Writer& w, const Instrument& in) {
  w.u32(instrument_header_size);
  w.text(in.name, 22, 0);
  w.u8(0);   // type
  w.u16(1);  // one sample
  w.u32(sample_header_size);
  w.zeros(96);  // every note plays the one sample
  write_envelope_points(w, in.volume_envelope);
  write_envelope_points(w, Envelope{});
  const Envelope& v = in.volume_envelope;
  w.u8(static_cast<unsigned>(v.points.size()));
  w.u8(0);
  w.u8(static_cast<unsigned>(std::max(v.sustain, 0)));
  w.u8(static_cast<unsigned>(std::max(v.loop_start, 0)));
  w.u8(static_cast<unsigned>(std::max(v.loop_end, 0)));
  w.zeros(3);  // panning envelope sustain and loop
  unsigned type = v.points.empty() ? 0 : 1;
  if (!v.points.empty() && v.sustain >= 0) type |= 2;
  if (!v.points.empty() && v.loop_start >= 0) type |= 4;
  w.u8(type);
  w.u8(0);
  w.u8(in.vibrato_type);
  w.u8(in.vibrato_sweep);
  w.u8(in.vibrato_depth);
  w.u8(in.vibrato_rate);
  w.u16(in.fadeout);
  w.zeros(22);  // reserved, up to the instrument header size

  // Sample header; lengths and loop points are in bytes.
  w.u32(static_cast<std::uint32_t>(in.sample.size() * 2));
  w.u32(in.looped ? in.loop_start * 2 : 0);
  w.u32(in.looped ? in.loop_length * 2 : 0);
  w.u8(in.volume);
  w.u8(static_cast<std::uint8_t>(in.finetune));
  w.u8((in.looped ? 1u : 0u) | 0x10u);  // forward loop, 16-bit
  w.u8(in.panning);
  w.u8(static_cast<std::uint8_t>(in.relative_note));
  w.u8(0);
  w.text(in.name, 22, 0);

  // Sample data as differences from the previous frame, wrapping in 16 bits.
  std::uint16_t previous = 0;
  for (std::int16_t s : in.sample) {
    const auto value = static_cast<std::uint16_t>(s);
    w.u16(static_cast<std::uint16_t>(value - previous));
    previous = value;
  }
}

}  // namespace

std::vector<std::uint8_t> file_bytes(const Module& module) {
  Writer w;
  write_header(w, module);
  for (const Pattern& p : module.patterns) write_pattern(w, p);
  for (const Instrument& in : module.instruments) write_instrument(w, in);
  return w.bytes;
}

}  // namespace xm
