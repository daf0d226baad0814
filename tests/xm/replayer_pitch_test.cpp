// Effects that change pitch, as periods per tick: linear C-4 is 4608 and a semitone 64; Amiga
// C-4 is 1712 (four times ProTracker's 428). Slides move 4 a unit of their parameter, fine ones
// at tick 0 only, extra fine ones 1 a unit. Speed 4 unless a row sets another.
#include "tests/xm/module_builder.h"

namespace xmtest {
namespace {

using enum Probe;

const TraceCase pitch_cases[] = {
    // Each keeps its own memory.
    {"PortaUpDownApart", "0 C-4 i1 102; 1 203; 2 100; 3 200", period,
     "4608 4600 4592 4584 4584 4596 4608 4620 4620 4612 4604 4596 4596 4608 4620 4632"},
    {"TonePorta", "0 C-4 i1; 1 D-4 310", period, "4608 4608 4608 4608  4608 4544 4480 4480"},
    {"VolColTonePorta", "0 C-4 i1; 1 D-4 vF1", period, "4608 4608 4608 4608 4608 4544 4480 4480"},
    // Ticks left in the row 3, 2, 1 pick the base note, y, x.
    {"Arpeggio", "0 C-4 i1 047", period, "4608 4608 4160 4352"},
    // After a slide, from the highest note whose lower half-semitone edge lies beyond the pitch
    // (C#4 4544 for 4560: its edge is 4576), as FastTracker 2 plays it.
    {"ArpAfterSlide", "0 C-4 i1 104; 1 047", period, "4608 4592 4576 4560 4560 4560 4096 4288"},
    // At speed 18: 17 ticks left reads y, 16 the base, then 15, 14, 13 as the table says.
    {"ArpeggioPast16Ticks", "0 C-4 i1 047; 0.1 F12", period, "4608 4160 4608 4608 4160 4352"},
    // Speed 4*4 a tick through the 32-step sine, depth 8: sine * 8 / 32 added to the period;
    // tick 0 of a row going on with the vibrato keeps the last offset.
    {"VibratoSine", "0 C-4 i1 448; 1 400", period, "4608 4608 4632 4653  4653 4666 4671 4666"},
    // A note without an instrument number keeps the vibrato's position.
    {"VibratoOverNote", "0 C-4 i1 448; 1 D-4 400", period,
     "4608 4608 4632 4653 4480 4538 4543 4538"},
    {"VolColumnVibrato", "0 C-4 i1 vA4; 1 vB8; 2 400", period,
     "4608 4608 4608 4608 4608 4608 4632 4653 4653 4666 4671 4666"},
    // Square wave: full depth (255 * 8 / 32 = 63), down in the second half of the cycle.
    {"VibratoSquare", "0 C-4 i1 E42; 1 488; 2 400", period,
     "4608 4608 4608 4608 4608 4671 4671 4671 4671 4671 4545 4545"},
    {"FinePortas", "0 C-4 i1 E12; 1 E10; 2 E23; 3 X12; 4 X10; 5 X21", period,
     "4600 4600 4600 4600 4592 4592 4592 4592 4604 4604 4604 4604 4602 4602 4602 4602 4600 4600 "
     "4600 4600 4601 4601 4601 4601"},
    // E5C: finetune 12 * 16 - 128 = 64, eight sixteenths of a semitone (4 each).
    {"FinetuneEffect", "0 C-4 i1 E5C", period, "4576 4576"},
    {"SampleFinetune", "0 C-4 i1 | finetune=-16", period, "4616"},
    {"RelativeNote", "0 C-4 i1 | relative=12", period, "3840"},
    // Glissando: a 20-a-tick slide heard in semitones, the nearest one each tick.
    {"Glissando", "0 C-4 i1 E31; 1 D-4 305", period, "4608 4608 4608 4608  4608 4608 4544 4544"},
    // ProTracker's A-1 is 508 and its C-1 with finetune +1 is 850.
    {"AmigaPeriods", "0 C-4 i1 101; 1 A-4 i1 | amiga", amiga_period,
     "1712 1708 1704 1700 1016 1016"},
    {"AmigaFinetune", "0 C-4 i1 | amiga finetune=16", amiga_period, "1700"},
};

INSTANTIATE_TEST_SUITE_P(Pitch, Trace, testing::ValuesIn(pitch_cases), case_name);

}  // namespace
}  // namespace xmtest
