// WAV files of 16-bit stereo PCM, as the sound outputs' samples are: the 44-byte header and the
// samples' bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace audio {

constexpr std::size_t wav_header_bytes = 44;
constexpr int wav_bytes_per_frame = 4;  // 16-bit stereo

// The header for `data_bytes` of frames at `rate` Hz, little-endian as the format has it.
std::array<std::uint8_t, wav_header_bytes> wav_header(int rate, std::uint32_t data_bytes);

// `count` samples as the file stores them, little-endian whatever the machine: 2 * count bytes.
void wav_samples(const std::int16_t* samples, std::size_t count, std::uint8_t* out);

}  // namespace audio
