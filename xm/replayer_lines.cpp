// The replayer's state as lines of text, one a tick: what `xmplay --ticks` prints, in the form
// FastTracker 2 references record.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "xm/replayer.h"

namespace xm {

std::string tick_line(const Replayer& replayer, int channels) {
  const Position at = replayer.position();
  char field[64];
  std::snprintf(field, sizeof field, "%d %d %d %d %d %d", at.order, at.pattern, at.row, at.tick,
                at.speed, at.bpm);
  std::string line = field;
  for (int channel = 0; channel < channels; ++channel) {
    const ChannelReport report = replayer.report(channel);
    std::snprintf(field, sizeof field, " | %.3f %d %d", report.frequency_hz, report.volume,
                  report.panning);
    line += field;
  }
  return line;
}

std::string end_line(const SongLength& length) {
  char line[80];
  std::snprintf(line, sizeof line, "# end: ticks=%" PRId64 " duration_s=%.3f", length.ticks,
                length.seconds);
  return line;
}

}  // namespace xm
