#include "platform/capture/wav_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace capture {
namespace {

// The RIFF size (36 bytes of header after it and the samples) is 32 bits.
constexpr std::uint64_t max_frames = (0xFFFFFFFFu - 36) / audio::wav_bytes_per_frame;

bool put_header(std::FILE* file, int rate, std::uint64_t frames) {
  const auto header =
      audio::wav_header(rate, static_cast<std::uint32_t>(frames * audio::wav_bytes_per_frame));
  return std::fwrite(header.data(), 1, header.size(), file) == header.size();
}

}  // namespace

bool WavFile::fail(const std::string& reason) {
  error_ = reason;
  output_.abandon();
  return false;
}

bool WavFile::open(const std::filesystem::path& target, int rate, std::uint64_t frames) {
  error_.clear();
  rate_ = rate;
  announced_ = frames;
  written_ = 0;
  if (frames > max_frames) return fail("the sound is longer than a WAV file holds");
  if (!output_.open(target)) return fail(output_.error());
  return put_header(output_.file(), rate, frames) || fail(std::strerror(errno));
}

bool WavFile::write(const std::int16_t* samples, std::size_t frames) {
  if (output_.file() == nullptr) return fail("not open");
  constexpr std::size_t block = std::tuple_size_v<decltype(bytes_)> / audio::wav_bytes_per_frame;
  for (std::size_t done = 0; done < frames;) {
    const std::size_t count = std::min(frames - done, block);
    audio::wav_samples(samples + done * 2, count * 2, bytes_.data());
    if (std::fwrite(bytes_.data(), audio::wav_bytes_per_frame, count, output_.file()) != count) {
      return fail(std::strerror(errno));
    }
    done += count;
  }
  written_ += frames;
  return true;
}

bool WavFile::finish() {
  if (output_.file() == nullptr) return fail("not open");
  if (written_ != announced_) {
    if (written_ > max_frames || std::fseek(output_.file(), 0, SEEK_SET) != 0) {
      return fail("its header announced " + std::to_string(announced_) + " frames, not the " +
                  std::to_string(written_) + " that came");
    }
    if (!put_header(output_.file(), rate_, written_)) return fail(std::strerror(errno));
  }
  return output_.finish() || fail(output_.error());
}

}  // namespace capture
