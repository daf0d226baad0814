// Plays a Module tick by tick as FastTracker 2 does, and reports what each channel sounds like.
//
// Tick 0 of a row reads the row's cells (notes, instruments, volume column, effects); the other
// ticks of the row run the effects. After every tick each channel has a `Voice` for the mixer and a
// `ChannelReport` for inspection. Never allocates; the Module must outlive the Replayer, and two
// Replayers on one Module never interfere.
//
// The song's end: the row after the last row played is one the song has already played (the order
// list ran out and goes on at the restart position, or a jump or break went back), not counting
// rows a pattern loop (E6x) repeats. At that point `ended()` becomes true and playing goes on
// there, so a caller loops by ignoring it. F00 halts the song, unless a later channel sets another
// speed on the same row: `ended()` becomes true and the position stays where it is.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>

#include "xm/module.h"

namespace xm {

// What the mixer must do with one channel's voice from this tick on.
struct Voice {
  const Sample* sample = nullptr;  // nullptr: silent
  bool trigger = false;            // (re)start `sample` at `start_frame` on this tick
  std::uint32_t start_frame = 0;   // may be past the sample's end: the voice then stays silent
  double frequency_hz = 0;         // frames of the sample per second
  double volume = 0;               // 0..1, final: volume, envelope, fadeout and global volume
  int panning = 128;               // 0 left .. 255 right, final (envelope applied)
};

// The channel as an outside observer sees it after a tick.
struct ChannelReport {
  double frequency_hz = 0;  // 0 when the channel plays nothing
  int volume = 0;           // 0..64, final (as Voice::volume, scaled and rounded)
  int panning = 128;        // 0..255, final
};

struct Position {
  int order = 0, pattern = 0, row = 0, tick = 0;
  int speed = 6, bpm = 125;
};

// Stereo frames one tick lasts at `bpm` and `rate` Hz: floor(rate * 2.5 / bpm), as FastTracker 2.
std::uint32_t frames_per_tick(int bpm, int rate);

class Replayer {
 public:
  explicit Replayer(const Module& module);

  // Runs the next tick (the first call runs tick 0 of order 0, row 0). Does nothing once F00 has
  // halted the song.
  void tick();

  // Where the tick just run was, with the speed and BPM it ran at.
  Position position() const;
  const Voice& voice(int channel) const;
  ChannelReport report(int channel) const;
  bool ended() const;
  const Module& module() const { return *module_; }

 private:
  // A running envelope: the time in ticks from the note's start (or where Lxx put it), the next
  // point to reach, and the value and its step a tick, which a new note does not reset. One never
  // restarted is past its first point's tick 0 and stays at 0.
  struct EnvelopeState {
    int tick = 1, next = 0;
    int value = 0, step = 0;
  };

  struct Channel {
    Cell cell{};  // the row's cell, kept for later ticks
    // Whose envelopes and auto-vibrato play: never none, a blank one before the first note.
    const Instrument* instrument = nullptr;
    const Sample* sample = nullptr;
    bool empty_slot = false;    // no sample, from a keymap entry naming none: full volume
    int instrument_number = 0;  // the last one given, 0 none
    int note = 0;               // the last note started, 1..96
    int relative = 0, finetune = 0;
    int period = 0, target_period = 0;  // FastTracker 2 period units
    int porta_direction = 0;            // tone portamento: +1 to longer periods, -1 shorter
    // The period that sounds before auto-vibrato (vibrato, arpeggio and glissando move it off
    // `period`), and whether this tick set it: FastTracker 2 works the frequency out again only
    // then, or while auto-vibrato runs.
    int out_period = 0;
    bool period_set = false;
    int volume = 0;  // 0..64
    // The volume that sounds before envelopes: tremolo and tremor move it off `volume`, and it
    // stays so until something sets the volume.
    int out_volume = 0;
    int panning = 128;
    bool panning_set =
        false;  // the voice's panning is worked out again only then, or under an envelope
    bool playing = false;   // a sample sounds
    double sample_pos = 0;  // frames played of an unlooped sample, to tell when it has ended
    std::uint32_t sample_step = 0;  // its frames for each at 44,000 Hz, in 65536ths
    bool key_off = false;
    // 32768 full from an instrument number on, less fadeout_speed each tick after key off; the
    // speed is the fadeout of the instrument playing when the number came.
    int fadeout = 0, fadeout_speed = 0;
    EnvelopeState volume_envelope, panning_envelope;
    int auto_vibrato_pos = 0, auto_vibrato_amp = 0, auto_vibrato_sweep = 0;  // sweep: amp a tick
    int vibrato_pos = 0, vibrato_speed = 0, vibrato_depth = 0;
    int tremolo_pos = 0, tremolo_speed = 0, tremolo_depth = 0;
    int wave_control = 0;  // low nibble vibrato (E4x), high nibble tremolo (E7x)
    bool glissando = false;
    // Effect memories, as FastTracker 2 keeps them apart or shares them.
    int porta_up = 0, porta_down = 0, porta_speed = 0;
    int fine_porta_up = 0, fine_porta_down = 0, extra_fine_up = 0, extra_fine_down = 0;
    int volume_slide = 0, fine_volume_up = 0, fine_volume_down = 0;
    int global_slide = 0, panning_slide = 0, sample_offset = 0;
    int retrig_interval = 0, retrig_volume = 0, retrig_count = 0;
    int tremor = 0, tremor_pos = 0;
    int loop_row = 0, loop_count = 0;
    // The voice's volume before the global volume, and what decides when it is worked out.
    double unscaled_volume = 0;
    int global_volume = 64;
    bool volume_set = false;
    void set_period(int p) {
      period = p;
      set_out_period(p);
    }
    void set_out_period(int p) {
      out_period = p;
      period_set = true;
    }
    void set_panning(int p) {
      panning = p;
      panning_set = true;
    }
    void set_volume(int v) {
      volume = v;
      set_out_volume(v);
    }
    void set_out_volume(int v) {
      out_volume = v;
      volume_set = true;
    }
    Voice voice;
  };

  // Reading a row (replayer_notes.cpp).
  void read_cell(Channel& c, const Cell& cell);
  void start_cell(Channel& c, const Cell& cell, bool delayed);
  static const Instrument& blank_instrument();
  // 9xx on the row gives the frame to start at; false for a note out of range, which starts
  // nothing.
  bool trigger(Channel& c, int note);
  void reset_volumes(Channel& c);
  void key_on(Channel& c);
  void release(Channel& c);
  void volume_column_first(Channel& c, std::uint8_t v, bool delayed, bool heard = true);
  void volume_column_later(Channel& c, std::uint8_t v);
  // Effects (replayer_effects.cpp).
  void effect_first(Channel& c, const Cell& cell);
  void extended_first(Channel& c, const Cell& cell);
  void effect_later(Channel& c);
  void vibrato(Channel& c);
  void tremolo(Channel& c);
  void tone_portamento(Channel& c);
  void volume_slide(Channel& c, int param);
  void multi_retrig(Channel& c);
  // Envelopes, fadeout, auto-vibrato and the voice (replayer_envelopes.cpp).
  void finish_tick(Channel& c);
  void restart_envelopes(Channel& c);
  void release_envelope(Channel& c);
  void move_envelopes(Channel& c, int tick, bool panning_too);
  void finish_volume(Channel& c, bool global_changed);
  void advance_sample(Channel& c);
  // Song flow (replayer.cpp).
  void next_row();
  int period_of(const Channel& c, int note) const;

  const Module* module_;
  std::array<Channel, max_channels> channels_{};
  int order_ = 0, row_ = 0, tick_ = 0;  // the next tick to run
  int speed_ = 6, bpm_ = 125, global_volume_ = 64;
  bool global_changed_ = false;                // a G or H ran this tick
  int pattern_delay_ = 0, delay_repeats_ = 0;  // EEx read on the row; repeats still to come
  bool repeating_ = false;                     // this row plays again for a pattern delay
  // The row flow as FastTracker 2 keeps it: one break row shared by Bxx, Dxx and E6x, a flag
  // for a new order (Bxx, Dxx) and one for a jump inside the pattern (E6x).
  int break_row_ = 0, jump_order_ = -1;
  bool position_jump_ = false, loop_jump_ = false;
  // An E6x loop brought the song here, and every row since was one played before.
  bool loop_landed_ = false;
  bool halted_ = false, ended_ = false;
  Position position_{};
  // One bit per order and row: has the song played it.
  std::bitset<max_orders * max_rows> visited_;
};

// Ticks and stereo frames at `rate` Hz from the start to the song's end (see above), without
// rendering audio.
struct SongLength {
  std::int64_t ticks = 0;
  std::int64_t frames = 0;
  double seconds = 0;
};
SongLength song_length(const Module& module, int rate);

// The replayer after a tick as a line: "ORDER PATTERN ROW TICK SPEED BPM", then " | HZ VOL PAN"
// for each of `channels` as report() gives it, HZ with three decimals.
std::string tick_line(const Replayer& replayer, int channels);
// "# end: ticks=N duration_s=S", S with three decimals.
std::string end_line(const SongLength& length);

}  // namespace xm
