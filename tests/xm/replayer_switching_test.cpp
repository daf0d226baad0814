// What an instrument number, a note or both start and reset; sample offsets; note delays.
#include "tests/xm/module_builder.h"

namespace xmtest {
namespace {

void second_sample_octave_up(xm::Module& m) {
  m.instruments[0].samples.push_back(m.instruments[0].samples[0]);
  m.instruments[0].samples[1].relative_note = 12;
  m.instruments[0].keymap[d4 - 1] = 1;
}

const TraceCase switching_cases[] = {
    {"InstrumentAloneResetsVolume",
     {{0, {c4, 1, 0x20, 0, 0}}, {1, {0, 1, 0, 0, 0}}, {2, {0, 0, 0x30, 0, 0}}},
     Probe::volume,
     {16, 16, 16, 16, 64, 64, 64, 64, 32, 32}},
    {"NoteAloneKeepsVolume",
     {{0, {c4, 1, 0x20, 0, 0}}, {1, {d4, 0, 0, 0, 0}}},
     Probe::volume,
     {16, 16, 16, 16, 16, 16}},
    {"NoteAloneRestarts",
     {{0, {c4, 1, 0x20, 0, 0}}, {1, {d4, 0, 0, 0, 0}}},
     Probe::trigger,
     {1, 0, 0, 0, 1, 0}},
    {"KeymapPicksTheSample",
     {{0, {c4, 1, 0, 0, 0}}, {1, {d4, 0, 0, 0, 0}}},
     Probe::period,
     {4608, 4608, 4608, 4608, 3712},
     second_sample_octave_up},
    {"InvalidInstrumentIsSilent",
     {{0, {c4, 1, 0, 0, 0}}, {1, {d4, 5, 0, 0, 0}}},
     Probe::period,
     {4608, 4608, 4608, 4608, 0}},
    {"KeymapWithoutSampleIsSilent",
     {{0, {c4, 1, 0, 0, 0}}, {1, {d4, 1, 0, 0, 0}}},
     Probe::period,
     {4608, 4608, 4608, 4608, 0},
     [](xm::Module& m) { m.instruments[0].keymap[d4 - 1] = xm::no_sample; }},
    {"TonePortaWithInstrumentResetsVolume",
     {{0, {c4, 1, 0x20, 0, 0}}, {1, {d4, 1, 0, 0x3, 0x10}}},
     Probe::volume,
     {16, 16, 16, 16, 64, 64}},
    {"TonePortaDoesNotRestart",
     {{0, {c4, 1, 0x20, 0, 0}}, {1, {d4, 1, 0, 0x3, 0x10}}},
     Probe::trigger,
     {1, 0, 0, 0, 0, 0}},
    {"SampleOffsetRemembered",
     {{0, {c4, 1, 0, 0x9, 2}}, {4, {c4, 1, 0, 0x9, 3}}, {5, {c4, 1, 0, 0x9, 0}}},
     Probe::start_frame,
     {512, 512, 512, 512, 512, 512, 512, 512, 512, 512, 512,
      512, 512, 512, 512, 512, 768, 768, 768, 768, 768}},
    {"SampleOffsetPastTheEndIsSilent", {{0, {c4, 1, 0, 0x9, 4}}}, Probe::period, {0, 0}},
    {"NoteDelayStartsLate", {{0, {c4, 1, 0, 0xE, 0xD2}}}, Probe::period, {0, 0, 4608, 4608}},
    {"NoteDelayWithoutNoteRestarts",
     {{0, {c4, 1, 0, 0, 0}}, {1, {0, 0, 0, 0xE, 0xD1}}},
     Probe::trigger,
     {1, 0, 0, 0, 0, 1, 0, 0}},
    {"NoteDelayPastTheRowNeverStarts",
     {{0, {c4, 1, 0, 0xE, 0xD4}}},
     Probe::period,
     {0, 0, 0, 0, 0}},
    {"K00EatsTheNote",
     {{0, {c4, 1, 0, 0, 0}}, {1, {d4, 1, 0, 20, 0}}},
     Probe::trigger,
     {1, 0, 0, 0, 0, 0}},
    {"RetrigEveryXTicks", {{0, {c4, 1, 0, 0xE, 0x92}}}, Probe::trigger, {1, 0, 1, 0}},
};

INSTANTIATE_TEST_SUITE_P(Switching, Trace, testing::ValuesIn(switching_cases), case_name);

}  // namespace
}  // namespace xmtest
