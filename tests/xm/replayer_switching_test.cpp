// What an instrument number, a note or both start and reset; sample offsets; note delays.
#include "tests/xm/module_builder.h"

namespace xmtest {
namespace {

const TraceCase switching_cases[] = {
    {"InstrumentAloneResetsVolume", "0 C-4 i1 v20; 1 i1; 2 v30 | volume=48", Probe::volume,
     "16 16 16 16  48 48 48 48  32 32"},
    {"NoteAloneKeepsVolume", "0 C-4 i1 v20; 1 D-4", Probe::volume, "16 16 16 16  16 16"},
    {"NoteAloneRestarts", "0 C-4 i1 v20; 1 D-4", Probe::trigger, "1 0 0 0  1 0"},
    {"KeymapPicksTheSample", "0 C-4 i1; 1 D-4 | map=50,1,12", Probe::period,
     "4608 4608 4608 4608  3712"},
    {"InvalidInstrumentIsSilent", "0 C-4 i1; 1 D-4 i5", Probe::period, "4608 4608 4608 4608  0"},
    {"KeymapWithoutSampleIsSilent", "0 C-4 i1; 1 D-4 i1 | map=50,255", Probe::period,
     "4608 4608 4608 4608  0"},
    {"TonePortaWithInstrumentResetsVolume", "0 C-4 i1 v20; 1 D-4 i1 310", Probe::volume,
     "16 16 16 16  64 64"},
    {"TonePortaDoesNotRestart", "0 C-4 i1 v20; 1 D-4 i1 310", Probe::trigger, "1 0 0 0  0 0"},
    {"SampleOffsetRemembered", "0 C-4 i1 902; 1 C-4 i1 903; 2 C-4 i1 900", Probe::start_frame,
     "512 512 512 512  768 768 768 768  768"},
    {"SampleOffsetPastTheEndIsSilent", "0 C-4 i1 904", Probe::period, "0 0"},
    {"NoteDelayStartsLate", "0 C-4 i1 ED2", Probe::period, "0 0 4608 4608"},
    {"NoteDelayWithoutNoteRestarts", "0 C-4 i1; 1 ED1", Probe::trigger, "1 0 0 0  0 1 0 0"},
    {"NoteDelayPastTheRowNeverStarts", "0 C-4 i1 ED4", Probe::period, "0 0 0 0  0"},
    {"K00EatsTheNote", "0 C-4 i1; 1 D-4 i1 K00", Probe::trigger, "1 0 0 0  0 0"},
    // 8363 Hz for 2.5 / 125 s is 167.26 frames a tick: 1000 frames end during the sixth tick.
    {"OneShotSampleEnds", "0 C-4 i1 | oneshot", Probe::period, "4608 4608 4608 4608 4608 4608 0"},
    {"RetrigEveryXTicks", "0 C-4 i1 E92", Probe::trigger, "1 0 1 0"},
};

INSTANTIATE_TEST_SUITE_P(Switching, Trace, testing::ValuesIn(switching_cases), case_name);

}  // namespace
}  // namespace xmtest
