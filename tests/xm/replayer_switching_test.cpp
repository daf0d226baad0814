// What an instrument number, a note or both start and reset; sample offsets; note delays.
#include "tests/xm/module_builder.h"

namespace xmtest {
namespace {

using enum Probe;

const TraceCase switching_cases[] = {
    {"InstrumentAlone", "0 C-4 i1 v20; 1 i1; 2 v30 | volume=48", volume,
     "16 16 16 16 48 48 48 48 32 32"},
    {"NoteAloneVolume", "0 C-4 i1 v20; 1 D-4", volume, "16 16 16 16  16 16"},
    {"NoteAloneTrigger", "0 C-4 i1 v20; 1 D-4", trigger, "1 0 0 0  1 0"},
    {"KeymapSample", "0 C-4 i1; 1 D-4 | map=50,1,12", period, "4608 4608 4608 4608  3712"},
    {"InvalidInstrument", "0 C-4 i1; 1 D-4 i5", period, "4608 4608 4608 4608  0"},
    {"KeymapNoSample", "0 C-4 i1; 1 D-4 i1 | map=50,255", period, "4608 4608 4608 4608  0"},
    {"TonePortaInstrument", "0 C-4 i1 v20; 1 D-4 i1 310", volume, "16 16 16 16  64 64"},
    {"TonePortaNoTrigger", "0 C-4 i1 v20; 1 D-4 i1 310", trigger, "1 0 0 0  0 0"},
    {"OffsetMemory", "0 C-4 i1 902; 1 C-4 i1 903; 2 C-4 i1 900", start_frame,
     "512 512 512 512 768 768 768 768 768"},
    {"OffsetPastEnd", "0 C-4 i1 904", period, "0 0"},
    {"NoteDelay", "0 C-4 i1 ED2", period, "0 0 4608 4608"},
    {"NoteDelayNoNote", "0 C-4 i1; 1 ED1", trigger, "1 0 0 0  0 1 0 0"},
    {"NoteDelayPastRow", "0 C-4 i1 ED4", period, "0 0 0 0  0"},
    {"K00EatsNote", "0 C-4 i1; 1 D-4 i1 K00", trigger, "1 0 0 0  0 0"},
    // 8363 Hz for 2.5 / 125 s is 167.26 frames a tick: 1000 frames end during the sixth tick.
    {"OneShotEnds", "0 C-4 i1 | oneshot", period, "4608 4608 4608 4608 4608 4608 0"},
    {"Retrig", "0 C-4 i1 E92", trigger, "1 0 1 0"},
};

INSTANTIATE_TEST_SUITE_P(Switching, Trace, testing::ValuesIn(switching_cases), case_name);

}  // namespace
}  // namespace xmtest
