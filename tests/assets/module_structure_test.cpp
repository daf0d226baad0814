// The theme song as the generator writes it, read back byte by byte with a reader of our own and
// walked through as FastTracker 2 plays it: a well-formed XM file, instruments that sound, the
// effects a dance tune is made of, at least a minute and a half before it loops, and a loop that
// comes back the way it started.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "tests/assets/generated_files.h"
#include "tests/assets/xm_reader.h"
#include "tests/assets/xm_timeline.h"

namespace {

using xmfile::Cell;
using xmfile::Envelope;
using xmfile::Instrument;
using xmfile::Module;
using xmfile::Pattern;
using xmfile::PlayState;
using xmfile::ReadResult;
using xmfile::Sample;
using xmfile::SongTimeline;

constexpr std::uint8_t key_off = 97;
constexpr std::uint8_t fx_arpeggio = 0x0, fx_portamento_up = 0x1, fx_portamento_down = 0x2,
                       fx_tone_portamento = 0x3, fx_vibrato = 0x4, fx_volume_slide = 0xA,
                       fx_position_jump = 0xB, fx_pattern_break = 0xD, fx_extended = 0xE,
                       fx_speed = 0xF, fx_global_volume = 0x10, fx_global_volume_slide = 0x11;

const Bytes& song_bytes() { return generated("theme2.xm"); }

const ReadResult& theme() {
  static const ReadResult result = xmfile::read_module(song_bytes());
  return result;
}

// Every test on the generated song starts from a clean read of it.
class ThemeSong : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(song_bytes().empty()) << "the generator wrote no theme2.xm";
    ASSERT_TRUE(theme().ok()) << theme().error->text();
  }
  static const Module& song() { return theme().module; }
};

using ThemeSongFile = ThemeSong;
using ThemeSongCells = ThemeSong;
using ThemeSongInstruments = ThemeSong;
using ThemeSongEffects = ThemeSong;
using ThemeSongLength = ThemeSong;

// Every cell in the order the song plays it, up to where it loops.
struct PlayedCell {
  int order, row, channel;
  const Cell* cell;
};

std::vector<PlayedCell> played_cells(const Module& m) {
  std::vector<PlayedCell> out;
  xmfile::play_through(m, 44100, [&](int order, int row) {
    const Pattern& p = m.patterns[m.orders[static_cast<std::size_t>(order)]];
    for (int ch = 0; ch < p.channels; ++ch) out.push_back({order, row, ch, &p.at(row, ch)});
  });
  return out;
}

std::string where(const PlayedCell& c) {
  return "order " + std::to_string(c.order) + " row " + std::to_string(c.row) + " channel " +
         std::to_string(c.channel);
}

// --- The file as a whole and its header

TEST_F(ThemeSongFile, IsReadToItsLastByte) { EXPECT_EQ(song().consumed, song_bytes().size()); }

TEST_F(ThemeSongFile, HeaderIsThatOfAnXm104ModuleWithLinearFrequencies) {
  const Module& m = song();
  EXPECT_EQ(m.id, "Extended Module: ");
  EXPECT_EQ(m.marker, 0x1A);
  EXPECT_EQ(m.version, 0x0104);
  EXPECT_EQ(m.header_size, 276u);
  EXPECT_EQ(m.flags & 1, 1) << "the song is written for the linear frequency table";
  EXPECT_FALSE(m.name.empty());
}

TEST_F(ThemeSongFile, ChannelsAndOrderListFitTogether) {
  const Module& m = song();
  EXPECT_GE(m.channels, 6);
  EXPECT_LE(m.channels, 12);
  ASSERT_GE(m.song_length, 1);
  EXPECT_LT(m.restart, m.song_length);
  EXPECT_GE(m.pattern_count, 1);
  EXPECT_GE(m.instrument_count, 1);
  for (int i = 0; i < m.song_length; ++i) {
    EXPECT_LT(m.orders[static_cast<std::size_t>(i)], m.pattern_count) << "order " << i;
  }
  // A pattern nobody plays is a part of the tune that went missing.
  std::set<int> used(m.orders.begin(), m.orders.end());
  for (int p = 0; p < m.pattern_count; ++p) EXPECT_TRUE(used.count(p)) << "pattern " << p;
}

TEST_F(ThemeSongFile, StartsAtASensibleSpeedAndTempo) {
  const Module& m = song();
  EXPECT_GE(m.speed, 1);
  EXPECT_LE(m.speed, 31);
  EXPECT_GE(m.bpm, 32);
  EXPECT_LE(m.bpm, 255);
  // A row lasts speed * 2.5 / BPM seconds: between a fast 40 ms and a slow 400 ms.
  const double row_seconds = m.speed * 2.5 / m.bpm;
  EXPECT_GE(row_seconds, 0.04);
  EXPECT_LE(row_seconds, 0.4);
}

// --- Pattern cells

// Calls check(cell) for every stored cell, with its place as the trace of any failure.
template <typename Check>
void for_each_stored_cell(const Module& m, Check check) {
  for (std::size_t pi = 0; pi < m.patterns.size(); ++pi) {
    const Pattern& p = m.patterns[pi];
    for (int row = 0; row < p.rows; ++row) {
      for (int ch = 0; ch < p.channels; ++ch) {
        SCOPED_TRACE("pattern " + std::to_string(pi) + " row " + std::to_string(row) + " channel " +
                     std::to_string(ch));
        check(p.at(row, ch));
      }
    }
  }
}

TEST_F(ThemeSongCells, HoldNotesInstrumentsAndVolumesInRange) {
  const Module& m = song();
  // The commands FastTracker 2 knows: 0-9, A-H, K, L, P, R, T, X.
  const std::set<int> known = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                               12, 13, 14, 15, 16, 17, 20, 21, 25, 27, 29, 33};
  for_each_stored_cell(m, [&](const Cell& c) {
    EXPECT_LE(c.note, key_off);
    EXPECT_LE(c.instrument, m.instrument_count);
    // 0x01-0x0F and 0x51-0x5F mean nothing in the volume column.
    EXPECT_TRUE(c.volume == 0 || (c.volume >= 0x10 && c.volume <= 0x50) || c.volume >= 0x60)
        << "volume column " << int{c.volume};
    EXPECT_TRUE(known.count(c.effect)) << "effect " << int{c.effect};
  });
}

TEST_F(ThemeSongCells, EffectParametersMeanOneThing) {
  for_each_stored_cell(song(), [](const Cell& c) {
    const int hi = c.param >> 4, lo = c.param & 0xF;
    if (c.effect == fx_volume_slide || c.effect == fx_global_volume_slide) {
      // With both halves set FastTracker 2 only slides up: a slide meant two ways is a slip.
      EXPECT_TRUE(hi == 0 || lo == 0) << "slide " << int{c.param};
    }
    if (c.effect == fx_pattern_break) {
      EXPECT_LE(hi, 9) << "pattern break rows are written in decimal";
      EXPECT_LE(lo, 9) << "pattern break rows are written in decimal";
    }
    if (c.effect == fx_global_volume) {
      EXPECT_LE(c.param, 64);
    }
  });
}

TEST_F(ThemeSongCells, PatternBreaksLandInsideTheNextPattern) {
  const Module& m = song();
  for (int order = 0; order < m.song_length; ++order) {
    const Pattern& p = m.patterns[m.orders[static_cast<std::size_t>(order)]];
    const int next = order + 1 < m.song_length ? order + 1 : m.restart;
    const Pattern& following = m.patterns[m.orders[static_cast<std::size_t>(next)]];
    for (int row = 0; row < p.rows; ++row) {
      for (int ch = 0; ch < p.channels; ++ch) {
        const Cell& c = p.at(row, ch);
        if (c.effect != fx_pattern_break) continue;
        EXPECT_LT((c.param >> 4) * 10 + (c.param & 0xF), following.rows)
            << "order " << order << " row " << row;
      }
    }
  }
}

// Walks the song as it plays: a note takes the channel's last instrument when it names none.
TEST_F(ThemeSongCells, EveryPlayedNoteFindsAnInstrumentAndASampleInRange) {
  const Module& m = song();
  std::vector<int> current(static_cast<std::size_t>(m.channels), 0);
  int notes = 0;
  for (const PlayedCell& pc : played_cells(m)) {
    const Cell& c = *pc.cell;
    int& inst = current[static_cast<std::size_t>(pc.channel)];
    if (c.instrument != 0) inst = c.instrument;
    if (c.note == 0 || c.note == key_off) continue;
    SCOPED_TRACE(where(pc));
    ++notes;
    ASSERT_GE(inst, 1) << "a note with no instrument on its channel yet";
    ASSERT_LE(inst, m.instrument_count);
    const Instrument& in = m.instruments[static_cast<std::size_t>(inst - 1)];
    const int sample = in.keymap[static_cast<std::size_t>(c.note - 1)];
    ASSERT_LT(sample, in.sample_count);
    // FastTracker 2 plays notes C-0..B-9 once the sample's relative note is added.
    const int sounding = c.note + in.samples[static_cast<std::size_t>(sample)].relative_note;
    EXPECT_GE(sounding, 1);
    EXPECT_LE(sounding, 119);
  }
  EXPECT_GT(notes, 0);
}

// --- Instruments and samples

void expect_envelope_well_formed(const Envelope& e) {
  ASSERT_GE(e.count, 1);
  ASSERT_LE(e.count, 12);
  EXPECT_EQ(e.points[0].tick, 0) << "an envelope starts on the note's first tick";
  for (int i = 0; i < e.count; ++i) {
    EXPECT_LE(e.points[static_cast<std::size_t>(i)].value, 64) << "point " << i;
    if (i > 0) {
      EXPECT_GT(e.points[static_cast<std::size_t>(i)].tick,
                e.points[static_cast<std::size_t>(i - 1)].tick)
          << "point " << i;
    }
  }
  EXPECT_LT(e.sustain, e.count);
  EXPECT_LT(e.loop_start, e.count);
  EXPECT_LT(e.loop_end, e.count);
  EXPECT_LE(e.loop_start, e.loop_end);
}

TEST_F(ThemeSongInstruments, EachHasA16BitSampleForEveryNote) {
  for (const Instrument& in : song().instruments) {
    SCOPED_TRACE("instrument \"" + in.name + "\"");
    ASSERT_GE(in.sample_count, 1);
    for (std::size_t n = 0; n < in.keymap.size(); ++n) {
      EXPECT_LT(in.keymap[n], in.sample_count) << "note " << n + 1;
    }
    for (const Sample& s : in.samples) {
      EXPECT_TRUE(s.sixteen_bit());
      EXPECT_GT(s.frames(), 0u);
      EXPECT_GE(s.volume, 1);
      EXPECT_LE(s.volume, 64);
    }
  }
}

TEST_F(ThemeSongInstruments, VolumeEnvelopesAreOnAndWellFormed) {
  for (const Instrument& in : song().instruments) {
    SCOPED_TRACE("instrument \"" + in.name + "\"");
    EXPECT_TRUE(in.volume.on());
    expect_envelope_well_formed(in.volume);
    if (in.panning.on()) expect_envelope_well_formed(in.panning);
    EXPECT_LE(in.panning.count, 12);
  }
}

// A held note must die away once released: by its fadeout or by an envelope that ends silent.
TEST_F(ThemeSongInstruments, ReleasedNotesFadeAway) {
  for (const Instrument& in : song().instruments) {
    if (!in.volume.sustained() && !in.volume.looped()) continue;
    SCOPED_TRACE("instrument \"" + in.name + "\"");
    const auto last = in.volume.points[static_cast<std::size_t>(in.volume.count - 1)];
    EXPECT_TRUE(in.fadeout > 0 || (!in.volume.looped() && last.value == 0));
  }
}

TEST_F(ThemeSongInstruments, SampleLoopsStayInsideTheirSamples) {
  for (const Instrument& in : song().instruments) {
    for (const Sample& s : in.samples) {
      SCOPED_TRACE("instrument \"" + in.name + "\"");
      EXPECT_LE(s.loop_type(), 2) << "loop type 3 does not exist";
      if (s.loop_type() == 0) continue;
      EXPECT_GT(s.loop_length, 0u);
      EXPECT_LE(std::uint64_t{s.loop_start} + s.loop_length, s.length);
    }
  }
}

// A loop whose last frame does not lead into its first clicks on every pass.
TEST_F(ThemeSongInstruments, LoopsJoinWithoutAStep) {
  for (const Instrument& in : song().instruments) {
    for (const Sample& s : in.samples) {
      if (s.loop_type() != 1 || s.loop_frames() < 2) continue;
      if (std::uint64_t{s.loop_start_frame()} + s.loop_frames() > s.data.size()) continue;
      SCOPED_TRACE("instrument \"" + in.name + "\"");
      const std::size_t first = s.loop_start_frame(), last = first + s.loop_frames() - 1;
      int largest = 0;
      for (std::size_t i = first; i < last; ++i) {
        largest = std::max(largest, std::abs(s.data[i + 1] - s.data[i]));
      }
      EXPECT_LE(std::abs(s.data[first] - s.data[last]), largest);
    }
  }
}

TEST_F(ThemeSongInstruments, NoSampleIsSilent) {
  for (const Instrument& in : song().instruments) {
    for (const Sample& s : in.samples) {
      SCOPED_TRACE("instrument \"" + in.name + "\"");
      int peak = 0;
      for (const std::int16_t v : s.data) peak = std::max(peak, std::abs(int{v}));
      // At least -30 dB of full scale.
      EXPECT_GE(peak, s.sixteen_bit() ? 1024 : 4);
    }
  }
}

// --- What the tune is made of (counting only cells that play)

TEST_F(ThemeSongEffects, PlaysTheEffectsOfADanceTune) {
  struct Use {
    const char* what;
    bool (*matches)(const Cell&);
    int count = 0;
  };
  Use uses[] = {
      {"arpeggio", [](const Cell& c) { return c.effect == fx_arpeggio && c.param != 0; }},
      {"portamento up", [](const Cell& c) { return c.effect == fx_portamento_up; }},
      {"portamento down", [](const Cell& c) { return c.effect == fx_portamento_down; }},
      {"tone portamento",
       [](const Cell& c) { return c.effect == fx_tone_portamento || c.volume >= 0xF0; }},
      {"vibrato", [](const Cell& c) { return c.effect == fx_vibrato; }},
      {"volume slide",
       [](const Cell& c) {
         return c.effect == fx_volume_slide || (c.volume >= 0x60 && c.volume <= 0x7F);
       }},
      {"pattern break", [](const Cell& c) { return c.effect == fx_pattern_break; }},
      {"key off", [](const Cell& c) { return c.note == key_off; }},
  };
  for (const PlayedCell& pc : played_cells(song())) {
    for (Use& u : uses) u.count += u.matches(*pc.cell) ? 1 : 0;
  }
  for (const Use& u : uses) EXPECT_GT(u.count, 0) << "no " << u.what << " is played";
}

// --- How long it plays and how it comes round

TEST_F(ThemeSongLength, LastsAtLeastNinetySecondsBeforeItLoops) {
  const SongTimeline t = xmfile::play_through(song());
  ASSERT_EQ(t.error, "");
  EXPECT_FALSE(t.stops) << "F00 halts the song instead of letting it loop";
  EXPECT_GE(t.seconds, 90.0);
  std::cout << "theme2.xm plays " << t.seconds << " s (" << t.rows << " rows, " << t.ticks
            << " ticks, " << t.frames << " frames at 44100 Hz) before it loops\n";
  // Each tick is cut to whole frames, so the frame count falls short of the time by under a
  // frame a tick.
  const double frames_in_time = t.seconds * 44100.0;
  EXPECT_LE(static_cast<double>(t.frames), frames_in_time + 1e-6);
  EXPECT_GT(static_cast<double>(t.frames), frames_in_time - static_cast<double>(t.ticks));
}

TEST_F(ThemeSongLength, PlaysEveryOrderBeforeItLoops) {
  std::set<int> orders;
  xmfile::play_through(song(), 44100, [&](int order, int) { orders.insert(order); });
  for (int i = 0; i < song().song_length; ++i) EXPECT_TRUE(orders.count(i)) << "order " << i;
}

TEST_F(ThemeSongLength, LoopsBackToTheRestartPositionAsItFirstPlayedThere) {
  const Module& m = song();
  const SongTimeline t = xmfile::play_through(m);
  ASSERT_EQ(t.error, "");
  EXPECT_TRUE(t.loops_at_list_end) << "a jump leads back to order " << t.loop_order << " row "
                                   << t.loop_row << " before the order list ends";
  EXPECT_EQ(t.loop_order, m.restart);
  EXPECT_EQ(t.loop_row, 0);
  ASSERT_TRUE(t.first_at_loop.has_value()) << "the restart position is never played";
  EXPECT_EQ(t.first_at_loop->speed, t.at_end.speed);
  EXPECT_EQ(t.first_at_loop->bpm, t.at_end.bpm);
  EXPECT_EQ(t.first_at_loop->global_volume, t.at_end.global_volume);
  EXPECT_TRUE(t.loops_cleanly());
}

}  // namespace
