// The song's flow: ticks, rows, orders, pattern delay, the song's end and its length.
#include "xm/replayer.h"

#include <algorithm>

#include "xm/replayer_tables.h"

namespace xm {

namespace {

// The bit of `visited_` that says whether the song has played a row of an order.
std::size_t visited_bit(int order, int row) {
  return static_cast<std::size_t>(order * max_rows + row);
}

}  // namespace

std::uint32_t frames_per_tick(int bpm, int rate) {
  return static_cast<std::uint32_t>(static_cast<std::int64_t>(rate) * 5 / (2 * bpm));
}

Replayer::Replayer(const Module& module)
    : module_(&module), speed_(module.speed), bpm_(module.bpm) {
  position_ = {0, module.orders.empty() ? 0 : module.orders[0], 0, 0, speed_, bpm_};
  if (module.orders.empty() || speed_ < 1 || bpm_ < 1) halted_ = ended_ = true;
  for (Channel& c : channels_) c.instrument = &blank_instrument();
}

// Each channel is played to its voice before the next is read, so a global volume set on a channel
// reaches the channels after it on the same tick and those before it on the next.
void Replayer::tick() {
  if (halted_) return;
  const bool new_row = tick_ == 0 && !repeating_;
  if (new_row) {
    const std::size_t bit = visited_bit(order_, row_);
    if (!visited_[bit]) loop_landed_ = false;
    visited_.set(bit);
  }
  const Pattern& pattern = module_->patterns[module_->orders[static_cast<std::size_t>(order_)]];
  for (int ch = 0; ch < module_->channels; ++ch) {
    Channel& c = channels_[static_cast<std::size_t>(ch)];
    c.voice.trigger = false;
    if (new_row) {
      read_cell(c, pattern.at(row_, ch, module_->channels));
    } else {
      effect_later(c);
    }
    finish_tick(c);
  }
  for (int ch = 0; ch < module_->channels; ++ch) {
    Channel& c = channels_[static_cast<std::size_t>(ch)];
    finish_volume(c, global_changed_);
    advance_sample(c);
  }
  global_changed_ = false;
  // F00 halts the song after this tick, unless a later channel set another speed on the row.
  if (speed_ == 0) halted_ = ended_ = true;
  position_ = {order_, module_->orders[static_cast<std::size_t>(order_)], row_, tick_, speed_,
               bpm_};
  if (halted_) return;
  if (++tick_ < speed_) return;
  tick_ = 0;
  next_row();
}

// As FastTracker 2: a pattern delay repeats the row first; a loop jump (E6x) moves inside the
// pattern; then a new order (Bxx, Dxx or the pattern's end) starts at the shared break row, so a
// loop's row carries into the next pattern when nothing else set it.
void Replayer::next_row() {
  if (pattern_delay_ > 0) {
    delay_repeats_ = pattern_delay_;
    pattern_delay_ = 0;
  }
  if (delay_repeats_ > 0) {
    --delay_repeats_;
    repeating_ = true;
    return;
  }
  // A jump, break or loop read on a row that a pattern delay repeated lands one row further, past
  // the pattern's end into the next order.
  const int past_delay = repeating_ && (position_jump_ || loop_jump_) ? 1 : 0;
  repeating_ = false;
  const int length = static_cast<int>(module_->orders.size());
  int row = row_ + 1;
  bool landed = loop_jump_;
  if (loop_jump_) {
    loop_jump_ = false;
    row = break_row_ + past_delay;
  }
  int order = order_;
  const int rows = module_->patterns[module_->orders[static_cast<std::size_t>(order_)]].rows;
  const bool next_order = row >= rows || position_jump_;
  // A loop that a pattern delay took past the pattern's end, into the same order again (the
  // list's end going round to it), lands there as a loop would.
  const bool looped_round = landed && next_order && !position_jump_;
  if (next_order) {
    // A jump, a break or a loop to a row past the pattern's end starts the next order one row
    // further when a pattern delay repeated it; a loop that only the delay took past the end
    // starts it at the break row itself.
    const int carried_delay = position_jump_ || break_row_ >= rows ? past_delay : 0;
    order = jump_order_ >= 0 ? jump_order_ : order_ + 1;
    row = break_row_;
    break_row_ = 0;
    jump_order_ = -1;
    position_jump_ = false;
    const auto rows_of = [&](int o) {
      return module_->patterns[module_->orders[static_cast<std::size_t>(o)]].rows;
    };
    // The list's end, by a jump to it or not, goes to the restart position.
    if (order >= length) order = module_->restart < length ? module_->restart : 0;
    if (row >= rows_of(order)) row = 0;
    row += carried_delay;
    if (row >= rows_of(order)) {
      row = 0;
      if (++order >= length) order = module_->restart < length ? module_->restart : 0;
    }
  }
  // The song ends on a row played before, as in FastTracker 2's reproduction this player is
  // checked against, but not while an E6x loop brought it there: from the row the loop lands on
  // until the song meets a row not played before or a new order.
  const bool by_loop = (landed && !next_order) || (looped_round && order == order_);
  if (by_loop || next_order) loop_landed_ = by_loop;
  if (!loop_landed_ && visited_[visited_bit(order, row)]) ended_ = true;
  order_ = order;
  row_ = row;
}

Position Replayer::position() const { return position_; }

const Voice& Replayer::voice(int channel) const {
  return channels_[static_cast<std::size_t>(channel)].voice;
}

ChannelReport Replayer::report(int channel) const {
  const Voice& v = voice(channel);
  ChannelReport r;
  r.frequency_hz = v.sample != nullptr && channels_[static_cast<std::size_t>(channel)].playing
                       ? v.frequency_hz
                       : 0;
  r.volume = r.frequency_hz > 0 ? static_cast<int>(v.volume * 64.0 + 0.5) : 0;
  r.panning = v.panning;
  return r;
}

bool Replayer::ended() const { return ended_; }

int Replayer::period_of(const Channel& c, int note) const {
  return tables::note_period(module_->linear_frequencies, note - 1 + c.relative, c.finetune);
}

// The tick F00 halts on counts: the song stops after it.
SongLength song_length(const Module& module, int rate) {
  SongLength length;
  Replayer replayer(module);
  constexpr std::int64_t tick_limit = std::int64_t{1} << 24;  // loops that never come round
  while (!replayer.ended() && length.ticks < tick_limit) {
    replayer.tick();
    length.ticks += 1;
    length.frames += frames_per_tick(replayer.position().bpm, rate);
    length.seconds += 2.5 / replayer.position().bpm;
  }
  return length;
}

}  // namespace xm
