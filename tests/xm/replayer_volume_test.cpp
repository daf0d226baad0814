// Effects that change volume and panning: the reported volume is note volume * global volume / 64
// (no envelopes here), rounded down. Speed 4 unless a row sets another; volume byte 38 is 40.
#include "tests/xm/module_builder.h"

namespace xmtest {
namespace {

using enum Probe;

const TraceCase volume_cases[] = {
    {"SetVolume", "0 C-4 i1 v30; 1 C28; 2 v45; 3 CFF", volume,
     "32 32 32 32 40 40 40 40 53 53 53 53 64 64 64 64"},
    {"VolumeSlide", "0 C-4 i1 v38 A02; 1 A20; 2 A21; 3 A00", volume,
     "40 38 36 34 34 36 38 40 40 42 44 46 46 48 50 52"},
    {"VolumeSlide5And6", "0 C-4 i1 v38 A04; 1 500; 2 600; 3 A00", volume,
     "40 36 32 28 28 24 20 16 16 12 8 4 4 0 0 0"},
    {"FineVolumeSlides", "0 C-4 i1 v38 EA2; 1 EA0; 2 EB3; 3 EB0", volume,
     "42 42 42 42 44 44 44 44 41 41 41 41 38 38 38 38"},
    {"VolColumnSlides", "0 C-4 i1 v38; 1 v62; 2 v73; 3 v82; 4 v95", volume,
     "40 40 40 40 40 38 36 34 34 37 40 43 41 41 41 41 46 46 46 46"},
    // On x + 1 = 2 ticks, off y + 1 = 3, from tick 1.
    {"Tremor", "0 C-4 i1 v38 T12; 0.1 F08", volume, "40 40 40 0 0 0 40 40"},
    {"TremorGoesOnOverNote", "0 C-4 i1 T21; 1 D-4 T00", volume, "64 64 64 64 64 0 0 64"},
    // Muted by tremor, the channel stays muted until something sets its volume, even a slide by 0.
    {"TremorMuteStays", "0 C-4 i1 v30 T12; 1 D-4; 2 A00", volume,
     "32 32 32 0  0 0 0 0  0 32 32 32"},
    // Sine * depth 4 / 64 added, position 16 a tick.
    {"Tremolo", "0 C-4 i1 v38 744; 1 700", volume, "40 40 46 51  51 54 55 54"},
    // Channel 0 is played before channel 1's G and H on each tick, and works its volume out again
    // only on ticks that changed the global volume: not on tick 0 of an H row, not after G alone.
    {"GlobalVolume", "0 C-4 i1; 0.1 G20; 1.1 H02; 2.1 H00; 3.1 H30", volume,
     "64 64 64 64 64 32 30 28 28 26 24 22 22 20 23 26"},
    {"NoteCut", "0 C-4 i1 EC2; 1 C-4 i1 EC0", volume, "64 64 0 0  0 0 0 0"},
    // Every 2 ticks, counting on across rows and through tick 0 without a note; x = 2 takes 2 off,
    // x = 6 leaves two thirds.
    {"MultiRetrig", "0 C-4 i1 v38; 1 R22; 2 R00", volume, "40 40 40 40 40 38 38 36 36 34 34 32"},
    {"RetrigVolColumn", "0 C-4 i1 v38 R22; 1 v30 R00", volume, "40 40 40 40 32 32 32 32"},
    // Two thirds as FastTracker 2 works it: v/2 + v/8 + v/16, each rounded down.
    {"MultiRetrigTwoThirds", "0 C-4 i1 v38; 1 R61", volume, "40 40 40 40 27 17 11 6"},
    {"KeyOffCuts", "0 C-4 i1; 1 ===", volume, "64 64 64 64  0 0 0 0"},
    {"KeyOffInstrument", "0 C-4 i1 v20; 1 === i1", volume, "16 16 16 16  64 64 64 64"},
    {"KeyOffAtTick", "0 C-4 i1 K02", volume, "64 64 0 0"},
    {"Panning", "0 C-4 i1 840; 1 vC8; 2 P02; 3 P20; 4 vD3; 5 vE4", panning,
     "64 64 64 64 128 128 128 128 128 126 124 122 122 124 126 128 128 125 122 119 119 123 127 131"},
};

INSTANTIATE_TEST_SUITE_P(Volume, Trace, testing::ValuesIn(volume_cases), case_name);

}  // namespace
}  // namespace xmtest
