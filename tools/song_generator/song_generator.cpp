// The song's header, order list and patterns, written to a plan drawn from the seed.
#include "tools/song_generator/song_generator.h"

#include <algorithm>

#include "tools/song_generator/song_parts.h"

namespace song_generator {
namespace {

// Mostly a few channels, sometimes many.
int draw_channels(Random& r) {
  const int roll = r.below(100);
  return roll < 50 ? r.between(1, 8) : roll < 80 ? r.between(9, 16) : r.between(17, max_channels);
}

int draw_speed(Random& r) {
  const int roll = r.below(100);
  return roll < 15   ? r.between(1, 2)
         : roll < 75 ? r.between(3, 8)
         : roll < 95 ? r.between(9, 16)
                     : r.between(17, 31);
}

int draw_bpm(Random& r) {
  const int roll = r.below(100);
  return roll < 50 ? 125 : roll < 90 ? r.between(80, 200) : r.between(32, 255);
}

int draw_rows(Random& r, int max_rows) {
  const int roll = r.below(100);
  const int rows = roll < 20   ? r.between(1, 8)
                   : roll < 65 ? r.between(9, 32)
                               : r.between(33, std::max(64, max_rows));
  return std::min(rows, max_rows);
}

}  // namespace

xmwrite::Module generate_song(std::uint32_t seed, const SongShape& shape) {
  Random r(seed);
  xmwrite::Module m;
  m.name = "seed " + std::to_string(seed);
  m.tracker = "xm-generate";
  // Drawn whatever the shape says, so that the rest of the song stays the seed's.
  const int channels = draw_channels(r);
  const bool linear = r.percent(50);
  m.channels = shape.channels > 0 ? std::min(shape.channels, max_channels) : channels;
  m.linear_frequencies = shape.table == Table::from_seed ? linear : shape.table == Table::linear;
  m.speed = draw_speed(r);
  m.bpm = draw_bpm(r);

  const int orders = r.between(1, std::clamp(shape.max_orders, 1, 256));
  const int patterns = r.between(1, std::min(orders + 1, 8));
  for (int i = 0; i < orders; ++i) {
    // Now and then an order names a pattern the song lacks, which plays as 64 empty rows.
    m.orders.push_back(
        static_cast<std::uint8_t>(r.percent(97) ? r.below(patterns) : patterns + r.below(2)));
  }
  m.restart = r.percent(70) ? 0 : r.below(orders);
  m.instruments = make_instruments(r);

  SongPlan plan{.channels = m.channels,
                .orders = orders,
                .speed = m.speed,
                .instruments = static_cast<int>(m.instruments.size())};
  choose_palette(r, plan);
  const int max_rows = std::clamp(shape.max_rows, 1, 256);
  for (int i = 0; i < patterns; ++i) {
    xmwrite::Pattern pattern(draw_rows(r, max_rows), m.channels);
    fill_pattern(r, plan, pattern);
    add_flow(r, plan, pattern);
    m.patterns.push_back(std::move(pattern));
  }
  if (plan.stop) {  // F00, which ends the song
    xmwrite::Pattern& pattern = m.patterns[static_cast<std::size_t>(r.below(patterns))];
    const int row = r.below(pattern.rows), channel = r.below(m.channels);
    xmwrite::Cell& cell = pattern.at(row, channel);
    cell.effect = 0xF;
    cell.param = 0;
  }
  return m;
}

}  // namespace song_generator
