// Volume and panning envelopes and fadeout. Reported volume is 64 * envelope / 64
// * fadeout / 32768 (note volume 64); panning is pan + (envelope - 32) * (128 - |pan - 128|) / 32,
// the envelope in 1/256 steps and no higher than 63, rounded down.
#include "tests/xm/module_builder.h"

namespace xmtest {
namespace {

using enum Probe;

const TraceCase envelope_cases[] = {
    {"VolumeEnvelope", "0 C-4 i1 | venv=0,64,4,0", volume, "64 48 32 16 0 0"},
    {"Sustain", "0 C-4 i1; 2 === | venv=0,0,2,64,6,0 vsus=1", volume,
     "0 32 64 64 64 64 64 64 64 48 32 16 0"},
    // E9x starts the envelope again with the note.
    {"RetrigRestartsEnvelope", "0 C-4 i1 E92 | venv=0,64,4,0", volume, "64 48 64 48"},
    // Reaching the loop's end point plays its start point instead.
    {"Loop", "0 C-4 i1 | venv=0,0,2,32,4,64 vloop=0,1", volume, "0 16 0 16 0 16"},
    // A sustain point on the loop's end does not hold: the loop wins.
    {"SustainAtLoopEnd", "0 C-4 i1 | venv=0,0,2,32,4,64 vsus=1 vloop=0,1", volume, "0 16 0 16 0"},
    // 4096 off 32768 each tick from the key off.
    {"Fadeout", "0 C-4 i1; 1 === | venv=0,64 fadeout=4096", volume, "64 64 64 64 56 48 40 32"},
    {"EnvelopePosition", "0 C-4 i1; 1 L0C | venv=0,0,16,64", volume, "0 4 8 12 48 52 56 60"},
    // Lxx moves the panning envelope only when the volume envelope has its sustain on.
    {"LLeavesPanning", "0 C-4 i1; 1 L02 | venv=0,64 penv=0,0,8,64", panning, "0 31 63 94 126 157"},
    {"LMovesPanning", "0 C-4 i1; 1 L02 | venv=0,64 vsus=0 penv=0,0,8,64", panning,
     "0 31 63 94 63 94"},
    {"PanningEnvelope", "0 C-4 i1; 1 840 | penv=0,32,2,64", panning, "128 190 252 252 126 126"},
};

INSTANTIATE_TEST_SUITE_P(Envelopes, Trace, testing::ValuesIn(envelope_cases), case_name);

}  // namespace
}  // namespace xmtest
