// Effects that change pitch, as periods per tick: linear C-4 is 4608 and a semitone 64; Amiga
// C-4 is 1712 (four times ProTracker's 428). Slides move 4 a unit of their parameter, fine ones
// at tick 0 only, extra fine ones 1 a unit. Speed 4 unless a row sets another.
#include "tests/xm/module_builder.h"

namespace xmtest {
namespace {

const TraceCase pitch_cases[] = {
    {"PortaUpKeepsItsMemory",
     {{0, {c4, 1, 0, 0x1, 0x02}}, {1, {0, 0, 0, 0x1, 0}}},
     Probe::period,
     {4608, 4600, 4592, 4584, 4584, 4576, 4568, 4560}},
    {"PortaUpAndDownRememberApart",
     {{0, {c4, 1, 0, 0x1, 2}},
      {1, {0, 0, 0, 0x2, 3}},
      {2, {0, 0, 0, 0x1, 0}},
      {3, {0, 0, 0, 0x2, 0}}},
     Probe::period,
     {4608, 4600, 4592, 4584, 4584, 4596, 4608, 4620, 4620, 4612, 4604, 4596, 4596, 4608, 4620,
      4632}},
    {"TonePortaStopsAtTheNote",
     {{0, {c4, 1, 0, 0, 0}}, {1, {d4, 0, 0, 0x3, 0x10}}},
     Probe::period,
     {4608, 4608, 4608, 4608, 4608, 4544, 4480, 4480}},
    {"VolumeColumnTonePortaIsSixteenTimesX",
     {{0, {c4, 1, 0, 0, 0}}, {1, {d4, 0, 0xF1, 0, 0}}},
     Probe::period,
     {4608, 4608, 4608, 4608, 4608, 4544, 4480, 4480}},
    // Ticks left in the row 3, 2, 1 pick the base note, y, x.
    {"ArpeggioCountsTicksLeft",
     {{0, {c4, 1, 0, 0x0, 0x47}}},
     Probe::period,
     {4608, 4608, 4160, 4352}},
    // At speed 18: 17 ticks left reads y, 16 the base, then 15, 14, 13 as the table says.
    {"ArpeggioPastSixteenTicks",
     {{0, {c4, 1, 0, 0x0, 0x47}}, {0, {0, 0, 0, 0xF, 18}, 1}},
     Probe::period,
     {4608, 4160, 4608, 4608, 4160, 4352}},
    // Speed 4*4 a tick through the 32-step sine, depth 8: sine * 8 / 32 added to the period.
    {"VibratoAddsTheSine",
     {{0, {c4, 1, 0, 0x4, 0x48}}, {1, {0, 0, 0, 0x4, 0}}},
     Probe::period,
     {4608, 4608, 4632, 4653, 4608, 4666, 4671, 4666}},
    {"VolumeColumnVibratoSharesTheMemory",
     {{0, {c4, 1, 0xA4, 0, 0}}, {1, {0, 0, 0xB8, 0, 0}}, {2, {0, 0, 0, 0x4, 0}}},
     Probe::period,
     {4608, 4608, 4608, 4608, 4608, 4608, 4632, 4653, 4608, 4666, 4671, 4666}},
    // Square wave: full depth (255 * 8 / 32 = 63), down in the second half of the cycle.
    {"VibratoSquareWave",
     {{0, {c4, 1, 0, 0xE, 0x42}}, {1, {0, 0, 0, 0x4, 0x88}}, {2, {0, 0, 0, 0x4, 0}}},
     Probe::period,
     {4608, 4608, 4608, 4608, 4608, 4671, 4671, 4671, 4608, 4671, 4545, 4545}},
    {"FineAndExtraFinePortaRemember",
     {{0, {c4, 1, 0, 0xE, 0x12}},
      {1, {0, 0, 0, 0xE, 0x10}},
      {2, {0, 0, 0, 0xE, 0x23}},
      {3, {0, 0, 0, 33, 0x12}},
      {4, {0, 0, 0, 33, 0x10}},
      {5, {0, 0, 0, 33, 0x21}}},
     Probe::period,
     {4600, 4600, 4600, 4600, 4592, 4592, 4592, 4592, 4604, 4604, 4604, 4604,
      4602, 4602, 4602, 4602, 4600, 4600, 4600, 4600, 4601, 4601, 4601, 4601}},
    // E5C: finetune 12 * 16 - 128 = 64, eight sixteenths of a semitone (4 each).
    {"FinetuneEffectOnTheNote", {{0, {c4, 1, 0, 0xE, 0x5C}}}, Probe::period, {4576, 4576}},
    {"SampleFinetuneInSixteenths",
     {{0, {c4, 1, 0, 0, 0}}},
     Probe::period,
     {4616},
     [](xm::Module& m) { m.instruments[0].samples[0].finetune = -16; }},
    {"RelativeNoteTransposes",
     {{0, {c4, 1, 0, 0, 0}}},
     Probe::period,
     {3840},
     [](xm::Module& m) { m.instruments[0].samples[0].relative_note = 12; }},
    // Glissando: a 20-a-tick slide heard in semitones, the nearest one each tick.
    {"GlissandoRoundsToSemitones",
     {{0, {c4, 1, 0, 0xE, 0x31}}, {1, {d4, 0, 0, 0x3, 5}}},
     Probe::period,
     {4608, 4608, 4608, 4608, 4608, 4608, 4544, 4544}},
    // ProTracker's A-1 is 508 and its C-1 with finetune +1 is 850.
    {"AmigaPeriods",
     {{0, {c4, 1, 0, 0x1, 1}}, {1, {58, 1, 0, 0, 0}}},
     Probe::amiga_period,
     {1712, 1708, 1704, 1700, 1016, 1016},
     [](xm::Module& m) { m.linear_frequencies = false; }},
    {"AmigaFinetune",
     {{0, {c4, 1, 0, 0, 0}}},
     Probe::amiga_period,
     {1700},
     [](xm::Module& m) {
       m.linear_frequencies = false;
       m.instruments[0].samples[0].finetune = 16;
     }},
};

INSTANTIATE_TEST_SUITE_P(Pitch, Trace, testing::ValuesIn(pitch_cases), case_name);

}  // namespace
}  // namespace xmtest
