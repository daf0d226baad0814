#include "tests/assets/xm_timeline.h"

#include <algorithm>
#include <vector>

namespace xmfile {
namespace {

constexpr std::uint8_t fx_position_jump = 0xB, fx_pattern_break = 0xD, fx_extended = 0xE,
                       fx_speed = 0xF, fx_global_volume = 0x10, fx_global_volume_slide = 0x11;
constexpr int ext_pattern_loop = 0x6, ext_pattern_delay = 0xE;
constexpr std::int64_t row_limit = 1 << 20;  // far beyond any song; stops a walk that never ends

// What one row asks of the song position and timing, read on its first tick.
struct RowControl {
  bool jump = false, brk = false, halt = false;
  int jump_order = 0, break_row = 0;
  int delay = 0;  // extra repeats of the row
  int loop_to = -1;
};

struct Channel {
  int loop_row = 0, loop_count = 0;
  std::uint8_t global_slide = 0;  // last non-zero Hxy
};

RowControl first_tick(const Pattern& p, int row, PlayState& state, std::vector<Channel>& channels,
                      std::vector<std::uint8_t>& slides) {
  RowControl rc;
  for (int ch = 0; ch < p.channels; ++ch) {
    const Cell& c = p.at(row, ch);
    Channel& chan = channels[static_cast<std::size_t>(ch)];
    const int hi = c.param >> 4, lo = c.param & 0xF;
    slides[static_cast<std::size_t>(ch)] = 0;
    switch (c.effect) {
      case fx_speed:
        if (c.param == 0) {
          rc.halt = true;
        } else if (c.param < 32) {
          state.speed = c.param;
        } else {
          state.bpm = c.param;
        }
        break;
      case fx_position_jump:
        rc.jump = true;
        rc.jump_order = c.param;
        break;
      case fx_pattern_break:
        rc.brk = true;
        rc.break_row = hi * 10 + lo;  // written in decimal
        break;
      case fx_global_volume:
        state.global_volume = std::min<int>(c.param, 64);
        break;
      case fx_global_volume_slide:
        if (c.param != 0) chan.global_slide = c.param;
        slides[static_cast<std::size_t>(ch)] = chan.global_slide;
        break;
      case fx_extended:
        if (hi == ext_pattern_delay) rc.delay = lo;
        if (hi == ext_pattern_loop) {
          if (lo == 0) {
            chan.loop_row = row;
          } else if (chan.loop_count == 0) {
            chan.loop_count = lo;
            rc.loop_to = chan.loop_row;
          } else if (--chan.loop_count != 0) {
            rc.loop_to = chan.loop_row;
          }
        }
        break;
      default:
        break;
    }
  }
  return rc;
}

// Hxy works on every tick but the first of each time the row plays: up by x, else down by y.
void slide_global_volume(PlayState& state, const std::vector<std::uint8_t>& slides, int repeats) {
  for (int r = 0; r < repeats; ++r) {
    for (int tick = 1; tick < state.speed; ++tick) {
      for (const std::uint8_t s : slides) {
        if (s == 0) continue;
        const int up = s >> 4, down = s & 0xF;
        state.global_volume = up != 0 ? std::min(64, state.global_volume + up)
                                      : std::max(0, state.global_volume - down);
      }
    }
  }
}

}  // namespace

std::int64_t frames_per_tick(int bpm, int rate) {
  return (static_cast<std::int64_t>(rate) * 5) / (static_cast<std::int64_t>(bpm) * 2);
}

SongTimeline play_through(const Module& m, int rate, const RowVisitor& on_row) {
  SongTimeline t;
  const int length = static_cast<int>(m.orders.size());
  if (length == 0) {
    t.error = "the order list is empty";
    return t;
  }
  for (int i = 0; i < length; ++i) {
    if (m.orders[static_cast<std::size_t>(i)] >= m.patterns.size()) {
      t.error = "order " + std::to_string(i) + " plays pattern " +
                std::to_string(m.orders[static_cast<std::size_t>(i)]) + " but there are only " +
                std::to_string(m.patterns.size());
      return t;
    }
  }
  if (m.speed < 1 || m.bpm < 1) {
    t.error = "the header's speed or BPM is 0";
    return t;
  }
  const auto pattern_of = [&](int order) -> const Pattern& {
    return m.patterns[m.orders[static_cast<std::size_t>(order)]];
  };

  // The state each row was first entered with, by order and row.
  std::vector<std::vector<std::optional<PlayState>>> first_seen;
  for (int i = 0; i < length; ++i) first_seen.emplace_back(pattern_of(i).rows);

  PlayState state{m.speed, m.bpm, 64};
  std::vector<Channel> channels(static_cast<std::size_t>(m.channels));
  std::vector<std::uint8_t> slides(static_cast<std::size_t>(m.channels));
  const int restart = m.restart < length ? m.restart : 0;
  int order = 0, row = 0;
  bool replaying = false;  // inside a pattern loop, rows come round again on purpose

  for (;;) {
    auto& seen = first_seen[static_cast<std::size_t>(order)][static_cast<std::size_t>(row)];
    if (seen.has_value() && !replaying) {
      t.loop_order = order;
      t.loop_row = row;
      t.first_at_loop = seen;
      break;
    }
    if (!seen.has_value()) seen = state;
    if (t.rows >= row_limit) {
      t.error = "the song does not come round within " + std::to_string(row_limit) + " rows";
      return t;
    }

    const Pattern& p = pattern_of(order);
    const RowControl rc = first_tick(p, row, state, channels, slides);
    if (rc.halt) {
      t.stops = true;
      break;
    }
    if (on_row) on_row(order, row);
    const int repeats = 1 + rc.delay;
    const std::int64_t row_ticks = static_cast<std::int64_t>(state.speed) * repeats;
    t.rows += 1;
    t.ticks += row_ticks;
    t.seconds += static_cast<double>(row_ticks) * 2.5 / state.bpm;
    t.frames += row_ticks * frames_per_tick(state.bpm, rate);
    slide_global_volume(state, slides, repeats);

    // Where the next row is.
    if (rc.loop_to >= 0 && !rc.jump && !rc.brk) {
      row = rc.loop_to;
      replaying = true;
      continue;
    }
    int next_order = order, next_row = row + 1;
    if (rc.jump || rc.brk) {
      next_order = rc.jump ? rc.jump_order : order + 1;
      next_row = rc.brk ? rc.break_row : 0;
    } else if (next_row >= p.rows) {
      next_order = order + 1;
      next_row = 0;
    }
    if (next_order != order || rc.jump || rc.brk) {
      replaying = false;
      for (Channel& c : channels) c = Channel{0, 0, c.global_slide};
    }
    if (next_order >= length) {
      // Past the last order playing goes on at the restart position.
      t.loops_at_list_end = true;
      next_order = restart;
    }
    // A break to a row the next pattern does not have starts it from the top.
    if (next_row >= pattern_of(next_order).rows) next_row = 0;
    order = next_order;
    row = next_row;
    if (t.loops_at_list_end) {
      t.loop_order = order;
      t.loop_row = row;
      t.first_at_loop = first_seen[static_cast<std::size_t>(order)][static_cast<std::size_t>(row)];
      break;
    }
  }
  t.at_end = state;
  return t;
}

}  // namespace xmfile
