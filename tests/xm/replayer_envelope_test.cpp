// Volume and panning envelopes, fadeout and auto-vibrato. Reported volume is 64 * envelope / 64
// * fadeout / 65536 (note volume 64); panning is pan + (envelope - 32) * (128 - |pan - 128|) / 32.
#include "tests/xm/module_builder.h"

namespace xmtest {
namespace {

void envelope(xm::Envelope& e, std::vector<xm::EnvelopePoint> points, int sustain = -1,
              int loop_start = -1, int loop_end = -1) {
  for (std::size_t i = 0; i < points.size(); ++i) e.points[i] = points[i];
  e.count = static_cast<std::uint8_t>(points.size());
  e.on = true;
  e.sustain_on = sustain >= 0;
  e.sustain = static_cast<std::uint8_t>(std::max(sustain, 0));
  e.loop_on = loop_start >= 0;
  e.loop_start = static_cast<std::uint8_t>(std::max(loop_start, 0));
  e.loop_end = static_cast<std::uint8_t>(std::max(loop_end, 0));
}

void auto_vibrato(xm::Module& m, int type, int sweep, int depth, int rate) {
  xm::Instrument& i = m.instruments[0];
  i.vibrato_type = static_cast<std::uint8_t>(type);
  i.vibrato_sweep = static_cast<std::uint8_t>(sweep);
  i.vibrato_depth = static_cast<std::uint8_t>(depth);
  i.vibrato_rate = static_cast<std::uint8_t>(rate);
}

const std::vector<Put> one_note = {{0, {c4, 1, 0, 0, 0}}};
const std::vector<Put> released = {{0, {c4, 1, 0, 0, 0}}, {2, {off, 0, 0, 0, 0}}};

const TraceCase envelope_cases[] = {
    {"VolumeEnvelopeInterpolates",
     one_note,
     Probe::volume,
     {64, 48, 32, 16, 0, 0},
     [](xm::Module& m) {
       envelope(m.instruments[0].volume_envelope, {{0, 64}, {4, 0}});
     }},
    {"SustainHoldsUntilKeyOff",
     released,
     Probe::volume,
     {0, 32, 64, 64, 64, 64, 64, 64, 64, 48, 32, 16, 0},
     [](xm::Module& m) {
       envelope(m.instruments[0].volume_envelope, {{0, 0}, {2, 64}, {6, 0}}, 1);
     }},
    // Reaching the loop's end point plays its start point instead.
    {"LoopGoesBackToItsStart",
     one_note,
     Probe::volume,
     {0, 16, 0, 16, 0, 16},
     [](xm::Module& m) {
       envelope(m.instruments[0].volume_envelope, {{0, 0}, {2, 32}, {4, 64}}, -1, 0, 1);
     }},
    {"SustainOnTheLoopEndHolds",
     one_note,
     Probe::volume,
     {0, 16, 32, 32, 32},
     [](xm::Module& m) {
       envelope(m.instruments[0].volume_envelope, {{0, 0}, {2, 32}, {4, 64}}, 1, 0, 1);
     }},
    // 4096 off 65536 each tick from the key off.
    {"FadeoutAfterKeyOff",
     {{0, {c4, 1, 0, 0, 0}}, {1, {off, 0, 0, 0, 0}}},
     Probe::volume,
     {64, 64, 64, 64, 60, 56, 52, 48},
     [](xm::Module& m) {
       envelope(m.instruments[0].volume_envelope, {{0, 64}});
       m.instruments[0].fadeout = 4096;
     }},
    {"EnvelopePositionL",
     {{0, {c4, 1, 0, 0, 0}}, {1, {0, 0, 0, 21, 12}}},
     Probe::volume,
     {0, 4, 8, 12, 48, 52, 56, 60},
     [](xm::Module& m) {
       envelope(m.instruments[0].volume_envelope, {{0, 0}, {16, 64}});
     }},
    {"PanningEnvelopeScaledByRoom",
     {{0, {c4, 1, 0, 0, 0}}, {1, {0, 0, 0, 0x8, 0x40}}},
     Probe::panning,
     {128, 192, 255, 255, 128, 128},
     [](xm::Module& m) {
       envelope(m.instruments[0].panning_envelope, {{0, 32}, {2, 64}});
     }},
    // Auto-vibrato adds wave (-64..64) * depth * 256 / 2^14 to the period after moving by the rate.
    {"AutoVibratoSquare",
     one_note,
     Probe::period,
     {4600, 4616, 4616, 4600},
     [](xm::Module& m) { auto_vibrato(m, 1, 0, 8, 64); }},
    {"AutoVibratoSweepsIn",
     one_note,
     Probe::period,
     {4606, 4612, 4614, 4600},
     [](xm::Module& m) { auto_vibrato(m, 1, 4, 8, 64); }},
    // -64 sin(45 degrees) rounds to -45: -45 * 15 * 256 >> 14 is -11 (rounded down).
    {"AutoVibratoSineFallsFirst",
     one_note,
     Probe::period,
     {4597, 4593, 4597, 4608},
     [](xm::Module& m) { auto_vibrato(m, 0, 0, 15, 32); }},
};

INSTANTIATE_TEST_SUITE_P(Envelopes, Trace, testing::ValuesIn(envelope_cases), case_name);

}  // namespace
}  // namespace xmtest
