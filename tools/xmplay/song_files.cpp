#include "tools/xmplay/song_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/audio/wav_header.h"
#include "xm/player.h"
#include "xm/replayer.h"

namespace xmplay {

void write_ticks(const xm::Module& module, int rate, std::FILE* out) {
  const xm::SongLength length = xm::song_length(module, rate);
  xm::Replayer replayer(module);
  for (std::int64_t tick = 0; tick < length.ticks; ++tick) {
    replayer.tick();
    const xm::Position at = replayer.position();
    std::fprintf(out, "%d %d %d %d %d %d", at.order, at.pattern, at.row, at.tick, at.speed, at.bpm);
    for (int channel = 0; channel < module.channels; ++channel) {
      const xm::ChannelReport report = replayer.report(channel);
      std::fprintf(out, " | %.2f %d %d", report.frequency_hz, report.volume, report.panning);
    }
    std::fputc('\n', out);
  }
  std::fprintf(out, "# end: ticks=%" PRId64 " duration_s=%.3f\n", length.ticks, length.seconds);
}

namespace {

constexpr std::size_t header_bytes = audio::wav_header_bytes;
constexpr int bytes_per_frame = audio::wav_bytes_per_frame;

// Renders the song into `file` after room for the header, then writes the header. False with
// `error` set when writing fails, `stop` is set or the song is longer than a WAV file holds.
bool render_into(const xm::Module& module, const Options& options, std::FILE* file,
                 std::string& error, const volatile std::sig_atomic_t* stop) {
  xm::Player player(module, {.rate = options.rate,
                             .interpolation = options.interpolation,
                             .ramping = true,
                             .loop = false});
  constexpr std::size_t block_frames = 4096;
  std::vector<std::int16_t> samples(block_frames * 2);
  std::vector<std::uint8_t> bytes(block_frames * bytes_per_frame);
  constexpr std::uint64_t max_data_bytes = 0xFFFFFFFFu - 36;
  std::uint64_t data_bytes = 0;
  if (std::fseek(file, header_bytes, SEEK_SET) != 0) return false;
  for (;;) {
    const std::size_t frames = player.render(samples.data(), block_frames);
    if (frames == 0) break;
    if (stop != nullptr && *stop != 0) {
      error = "interrupted";
      return false;
    }
    audio::wav_samples(samples.data(), frames * 2, bytes.data());
    data_bytes += frames * bytes_per_frame;
    if (data_bytes > max_data_bytes) {
      error = "the song is longer than a WAV file holds";
      return false;
    }
    if (std::fwrite(bytes.data(), 1, frames * bytes_per_frame, file) != frames * bytes_per_frame) {
      return false;
    }
  }
  const auto header = audio::wav_header(options.rate, static_cast<std::uint32_t>(data_bytes));
  return std::fseek(file, 0, SEEK_SET) == 0 &&
         std::fwrite(header.data(), 1, header.size(), file) == header.size();
}

}  // namespace

bool write_wav(const xm::Module& module, const Options& options, const std::string& path,
               std::string& error, const volatile std::sig_atomic_t* stop) {
  std::string temporary = path;
  temporary.append(".XXXXXX");
  const int descriptor = mkstemp(temporary.data());
  if (descriptor < 0) {
    error = std::strerror(errno);
    return false;
  }
  // Made as a new file would be: mkstemp leaves it readable by its owner only.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(descriptor, 0666 & ~mask);
  std::FILE* file = fdopen(descriptor, "wb");
  if (file == nullptr) {
    error = std::strerror(errno);
    close(descriptor);
    std::remove(temporary.c_str());
    return false;
  }
  errno = 0;
  const bool rendered = render_into(module, options, file, error, stop);
  if (!rendered && error.empty()) error = std::strerror(errno != 0 ? errno : EIO);
  const bool closed = std::fclose(file) == 0;
  if (rendered && !closed) error = std::strerror(errno);
  if (!rendered || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
    if (error.empty()) error = std::strerror(errno);
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace xmplay
