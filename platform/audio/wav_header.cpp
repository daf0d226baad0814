#include "platform/audio/wav_header.h"

#include <cstring>

namespace audio {
namespace {

void put16(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::uint8_t* at, std::uint32_t value) {
  put16(at, value);
  put16(at + 2, value >> 16);
}

}  // namespace

std::array<std::uint8_t, wav_header_bytes> wav_header(int rate, std::uint32_t data_bytes) {
  std::array<std::uint8_t, wav_header_bytes> header{};
  std::memcpy(&header[0], "RIFF", 4);
  put32(&header[4], static_cast<std::uint32_t>(wav_header_bytes - 8) + data_bytes);
  std::memcpy(&header[8], "WAVEfmt ", 8);
  put32(&header[16], 16);  // fmt chunk size
  put16(&header[20], 1);   // PCM
  put16(&header[22], 2);   // channels
  put32(&header[24], static_cast<std::uint32_t>(rate));
  put32(&header[28], static_cast<std::uint32_t>(rate) * wav_bytes_per_frame);
  put16(&header[32], wav_bytes_per_frame);
  put16(&header[34], 16);  // bits a sample
  std::memcpy(&header[36], "data", 4);
  put32(&header[40], data_bytes);
  return header;
}

void wav_samples(const std::int16_t* samples, std::size_t count, std::uint8_t* out) {
  for (std::size_t i = 0; i < count; ++i)
    put16(&out[2 * i], static_cast<std::uint16_t>(samples[i]));
}

}  // namespace audio
