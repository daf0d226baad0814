// The song once through as text (a line of replayer state a tick) or as a WAV file.
#pragma once

#include <csignal>
#include <cstdio>
#include <string>

#include "tools/xmplay/xmplay_options.h"
#include "xm/module.h"

namespace xmplay {

// One line a tick from the song's start to its end (xm::song_length): "ORDER PATTERN ROW TICK
// SPEED BPM", then " | HZ VOL PAN" for each channel as xm::Replayer::report gives it, HZ with three
// decimals; then "# end: ticks=N duration_s=S", S in seconds with three decimals at `rate`.
// With `max_seconds` above 0, a song still playing after the tick that brings the sum of its ticks'
// 2.5 / BPM seconds to `max_seconds` stops there, with "# stopped: --seconds limit reached" and N
// and S for the ticks written, as FastTracker 2 references stop endless songs.
void write_ticks(const xm::Module& module, int rate, std::FILE* out, double max_seconds = 0);

// The song once through at options.rate with options.interpolation as a 16-bit stereo PCM WAV
// file at `path`, its length (xm::song_length) in the header before the first sample. "-" is
// standard output; a named pipe or a device is written as it stands; anything else under a
// temporary name beside `path`, renamed into place, so that `path` holds either what stood there or
// the whole file (platform/capture/output_file.h). False with `error` set when it cannot be
// written, the song is longer than a WAV file holds, or `stop` (a signal handler's flag) turns
// non-zero first; the temporary file is then removed, and a stream just ends.
bool write_wav(const xm::Module& module, const Options& options, const std::string& path,
               std::string& error, const volatile std::sig_atomic_t* stop = nullptr);

}  // namespace xmplay
