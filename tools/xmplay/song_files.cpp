#include "tools/xmplay/song_files.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/capture/wav_file.h"
#include "xm/player.h"
#include "xm/replayer.h"

namespace xmplay {

namespace {

// The ticks after which a song still playing reaches `max_seconds`, or -1 when it ends before: an
// endless song stops here rather than at song_length's guard of 2^24 ticks.
std::int64_t ticks_to_limit(const xm::Module& module, double max_seconds) {
  xm::Replayer replayer(module);
  double seconds = 0;
  for (std::int64_t ticks = 1; !replayer.ended(); ++ticks) {
    replayer.tick();
    seconds += 2.5 / replayer.position().bpm;
    if (seconds >= max_seconds && !replayer.ended()) return ticks;
  }
  return -1;
}

}  // namespace

void write_ticks(const xm::Module& module, int rate, std::FILE* out, double max_seconds) {
  const std::int64_t limit = max_seconds > 0 ? ticks_to_limit(module, max_seconds) : -1;
  xm::SongLength length{.ticks = limit};
  if (limit < 0) length = xm::song_length(module, rate);
  xm::Replayer replayer(module);
  for (std::int64_t tick = 0; tick < length.ticks; ++tick) {
    replayer.tick();
    if (limit >= 0) length.seconds += 2.5 / replayer.position().bpm;
    std::fprintf(out, "%s\n", xm::tick_line(replayer, module.channels).c_str());
  }
  if (limit >= 0) std::fputs("# stopped: --seconds limit reached\n", out);
  std::fprintf(out, "%s\n", xm::end_line(length).c_str());
}

// song_length counts at most 2^24 ticks, more than a WAV file holds at any rate and tempo (78
// frames a tick at 8,000 Hz and 255 BPM), so that a song it cuts short is refused as too long.
bool write_wav(const xm::Module& module, const Options& options, const std::string& path,
               std::string& error, const volatile std::sig_atomic_t* stop) {
  const std::int64_t frames = xm::song_length(module, options.rate).frames;
  capture::WavFile wav;
  if (!wav.open(path, options.rate, static_cast<std::uint64_t>(frames))) {
    error = wav.error();
    return false;
  }
  xm::Player player(module, {.rate = options.rate,
                             .interpolation = options.interpolation,
                             .ramping = true,
                             .loop = false});
  constexpr std::size_t block_frames = 4096;
  std::vector<std::int16_t> samples(block_frames * 2);
  for (std::int64_t left = frames; left > 0;) {
    if (stop != nullptr && *stop != 0) {
      error = "interrupted";
      return false;
    }
    // The player ends where song_length does; were it sooner, finish() would put the true
    // length in a file's header, or fail on a stream.
    const std::size_t got =
        player.render(samples.data(), std::min<std::size_t>(block_frames, std::size_t(left)));
    if (got == 0) break;
    if (!wav.write(samples.data(), got)) {
      error = wav.error();
      return false;
    }
    left -= static_cast<std::int64_t>(got);
  }
  if (!wav.finish()) {
    error = wav.error();
    return false;
  }
  return true;
}

}  // namespace xmplay
