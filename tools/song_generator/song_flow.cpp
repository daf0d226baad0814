// Flow events laid over a pattern's cells: jumps, breaks, loops, pattern delays, tempo.
#include <algorithm>

#include "tools/song_generator/song_parts.h"

namespace song_generator {
namespace {

constexpr std::uint8_t fx_jump = 0xB, fx_break = 0xD, fx_extended = 0xE, fx_speed = 0xF;

std::uint8_t extended(int sub, int x) { return static_cast<std::uint8_t>(sub << 4 | x); }

}  // namespace

// The order in which random numbers are drawn is spelled out statement by statement: the order
// in which a call's arguments are worked out differs between compilers.
void add_flow(Random& r, const SongPlan& p, xmwrite::Pattern& pattern) {
  const int rows = pattern.rows, channels = pattern.channels;
  const auto put = [&](int row, int ch, std::uint8_t effect, std::uint8_t param) {
    xmwrite::Cell& c = pattern.at(row, ch);
    c.effect = effect;
    c.param = param;
  };
  const auto put_anywhere = [&](std::uint8_t effect, std::uint8_t param) {
    const int row = r.below(rows), ch = r.below(channels);
    put(row, ch, effect, param);
  };
  const auto other_channel = [&](int ch) {
    return channels > 1 ? (ch + r.between(1, channels - 1)) % channels : ch;
  };
  // Dxx: row xy in decimal; 0, rows that may lie past the next pattern's end, and bytes that are
  // no decimal number.
  const auto break_param = [&] {
    const int roll = r.below(100);
    if (roll < 45) return std::uint8_t{0};
    if (roll < 90) {
      const int row = roll < 80 ? r.below(64) : r.between(32, 99);
      return static_cast<std::uint8_t>(row / 10 << 4 | row % 10);
    }
    return static_cast<std::uint8_t>(r.below(256));
  };
  const auto put_break = [&](int row, int ch) {
    const int other = other_channel(ch);
    put(row, other, fx_break, break_param());
  };
  // Bxx: mostly an order of the song, before or after this one; now and then past the end.
  const auto jump_param = [&] {
    return static_cast<std::uint8_t>(r.percent(90) ? r.below(p.orders) : p.orders + r.below(4));
  };
  const auto loop = [&](int ch, int first, int last, int count) {
    if (r.percent(85)) put(first, ch, fx_extended, 0x60);  // without it the loop starts at row 0
    put(last, ch, fx_extended, extended(0x6, count));
  };

  if (r.percent(p.flow_percent)) put_anywhere(fx_jump, jump_param());
  if (r.percent(p.flow_percent)) put_anywhere(fx_break, break_param());
  if (r.percent(p.flow_percent)) {  // jump and break on one row
    const int row = r.below(rows), ch = r.below(channels);
    put(row, ch, fx_jump, jump_param());
    put_break(row, ch);
  }
  if (r.percent(p.flow_percent)) {  // a loop, perhaps with another inside it
    const int ch = r.below(channels), first = r.below(rows);
    const int last = r.between(first, std::min(rows - 1, first + 16));
    const int count = r.percent(90) ? r.between(1, 3) : (last - first < 4 ? 15 : 4);
    loop(ch, first, last, count);
    if (r.percent(50)) {
      const int inner_first = r.between(first, last), inner_last = r.between(inner_first, last);
      const int inner_ch = r.percent(50) ? ch : other_channel(ch);
      loop(inner_ch, inner_first, inner_last, r.between(1, 2));
    }
    if (r.percent(15)) put_break(last, ch);
  }
  if (r.percent(p.flow_percent)) {  // a pattern delay, perhaps with a break
    const int row = r.below(rows), ch = r.below(channels);
    put(row, ch, fx_extended, extended(0xE, r.percent(80) ? r.between(1, 4) : r.between(5, 15)));
    if (r.percent(30)) put_break(row, ch);
  }
  if (r.percent(p.flow_percent)) {  // speed or tempo
    put_anywhere(fx_speed, static_cast<std::uint8_t>(r.percent(50) ? r.between(1, 12)
                                                                   : r.between(0x20, 0xFF)));
  }
}

}  // namespace song_generator
