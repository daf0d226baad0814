// A pattern's header and packed cells, as much of them as the file holds.
#include <algorithm>

#include "xm/load_reader.h"

namespace xm::loading {
namespace {

constexpr int empty_pattern_rows = 64;
constexpr std::uint8_t max_effect = 35;

// Packed cells: a byte with bit 7 set says which of the five fields follow; any other byte is the
// note of a cell with all five fields present. When the file ended inside the data (`cut`), a
// last cell it cut is dropped; otherwise that is a fault. Returns the cells read.
std::size_t unpack_cells(Reader& r, std::span<const std::uint8_t> data, std::size_t data_at,
                         bool cut, Pattern& p, const std::string& name) {
  std::size_t i = 0, cell = 0;
  while (i < data.size()) {
    if (cell == p.cells.size()) {
      // Cut data is a true start of the pattern's: if it overruns, its size was wrong.
      if (cut) r.fail(r.size(), "the file ends inside " + name + "'s packed data");
      r.fail(data_at + i, name + ": packed data overruns its rows");
      return cell;
    }
    unsigned flags = 0x1F;
    if (data[i] & 0x80) flags = data[i++];
    std::uint8_t field[5] = {};
    for (unsigned f = 0; f < 5; ++f) {
      if (!(flags & (1u << f))) continue;
      if (i == data.size()) {
        if (!cut) r.fail(data_at + i, name + ": a cell runs past its packed data's end");
        return cell;
      }
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
  return cell;
}

}  // namespace

Pattern empty_pattern(int channels) {
  Pattern p;
  p.rows = empty_pattern_rows;
  p.cells.resize(static_cast<std::size_t>(empty_pattern_rows) * static_cast<std::size_t>(channels));
  return p;
}

Got read_pattern(Reader& r, int index, int channels, std::uint16_t version, Pattern& p,
                 std::vector<Missing>& missing) {
  const std::string name = "pattern " + num(static_cast<unsigned>(index));
  const std::size_t at = r.pos();
  if (r.left() < 4) return r.ended();
  const std::uint32_t header_length = r.u32();
  // 0x0102 stores the row count less one in a byte.
  const std::uint32_t min_length = version == 0x0102 ? 8 : 9;
  if (header_length < min_length) {
    r.fail(at, name + ": header length " + num(header_length) + " is too small (at least " +
                   num(min_length) + ")");
    return Got::none;
  }
  if (r.left() < header_length - 4) return r.ended();
  r.u8();  // packing type, always 0
  int rows = version == 0x0102 ? r.u8() + 1 : r.u16();
  const std::uint16_t packed_size = r.u16();
  if (rows > max_rows) {
    r.fail(at + 5, name + ": " + num(static_cast<unsigned>(rows)) + " rows (at most 256)");
    return Got::none;
  }
  if (rows == 0) rows = empty_pattern_rows;
  r.seek(at + std::uint64_t{header_length});
  p.rows = rows;
  p.cells.resize(static_cast<std::size_t>(rows) * static_cast<std::size_t>(channels));
  const std::size_t data_at = r.pos();
  const auto data = r.take(packed_size);
  const bool cut = data.size() < packed_size;
  const std::size_t cells = unpack_cells(r, data, data_at, cut, p, name);
  if (r.failed()) return Got::none;
  // A pattern with nothing in it plays as 64 empty rows, as the reproduction of FastTracker 2
  // that this player is checked against reads it (FastTracker 2 itself keeps its rows).
  const bool empty = std::all_of(p.cells.begin(), p.cells.end(), [](const Cell& c) {
    return c.note == 0 && c.instrument == 0 && c.volume == 0 && c.effect == 0 && c.param == 0;
  });
  if (empty && p.rows != empty_pattern_rows) p = empty_pattern(channels);
  if (!cut) return Got::whole;
  missing.push_back({.part = Missing::Part::rows,
                     .index = index,
                     .held = static_cast<std::uint32_t>(cells / static_cast<std::size_t>(channels)),
                     .of = static_cast<std::uint32_t>(rows)});
  return Got::part;
}

}  // namespace xm::loading
