#include "platform/capture/wav_sink.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/capture/partial_file.h"

namespace capture {
namespace {

constexpr std::size_t header_bytes = 44;

void put16(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::uint8_t* at, std::uint32_t value) {
  put16(at, value);
  put16(at + 2, value >> 16);
}

// The RIFF header for `data_bytes` of samples.
std::array<std::uint8_t, header_bytes> header(std::uint32_t data_bytes) {
  std::array<std::uint8_t, header_bytes> h{};
  std::memcpy(&h[0], "RIFF", 4);
  put32(&h[4], static_cast<std::uint32_t>(header_bytes - 8) + data_bytes);
  std::memcpy(&h[8], "WAVEfmt ", 8);
  put32(&h[16], 16);
  put16(&h[20], 1);  // PCM
  put16(&h[22], 2);
  put32(&h[24], sound_rate);
  put32(&h[28], sound_rate * 4);
  put16(&h[32], 4);
  put16(&h[34], 16);
  std::memcpy(&h[36], "data", 4);
  put32(&h[40], data_bytes);
  return h;
}

}  // namespace

WavSink::~WavSink() { abandon(); }

bool WavSink::fail(const char* reason) {
  error_ = "cannot write ";
  error_.append(target_.string());
  error_.append(": ");
  error_.append(reason);
  abandon();
  return false;
}

bool WavSink::open(const std::filesystem::path& target) {
  target_ = target;
  std::string reason;
  const int descriptor = create_partial(target, partial_, reason);
  if (descriptor < 0) {
    partial_.clear();
    return fail(reason.c_str());
  }
  file_ = fdopen(descriptor, "wb");
  if (file_ == nullptr) {
    ::close(descriptor);
    return fail(std::strerror(errno));
  }
  const auto h = header(0);
  if (std::fwrite(h.data(), 1, h.size(), file_) != h.size()) return fail(std::strerror(errno));
  return true;
}

bool WavSink::sound(const std::int16_t* samples, std::size_t frames) {
  if (file_ == nullptr) return fail("not open");
  for (std::size_t done = 0; done < frames;) {
    const std::size_t count = std::min(frames - done, bytes_.size() / 4);
    for (std::size_t i = 0; i < count * 2; ++i) {
      put16(&bytes_[i * 2], static_cast<std::uint16_t>(samples[done * 2 + i]));
    }
    if (std::fwrite(bytes_.data(), 4, count, file_) != count) return fail(std::strerror(errno));
    data_bytes_ += static_cast<std::uint32_t>(count * 4);
    done += count;
  }
  return true;
}

bool WavSink::finish() {
  if (file_ == nullptr) return fail("not open");
  const auto h = header(data_bytes_);
  if (std::fseek(file_, 0, SEEK_SET) != 0 ||
      std::fwrite(h.data(), 1, h.size(), file_) != h.size()) {
    return fail(std::strerror(errno));
  }
  std::FILE* file = file_;
  file_ = nullptr;
  if (std::fclose(file) != 0) return fail(std::strerror(errno));  // the last bytes go out here
  std::string reason;
  if (!put_in_place(partial_, target_, reason)) {
    partial_.clear();
    return fail(reason.c_str());
  }
  partial_.clear();
  return true;
}

void WavSink::abandon() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!partial_.empty()) std::remove(partial_.c_str());
  partial_.clear();
}

}  // namespace capture
