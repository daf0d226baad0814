// Rows placed at chosen byte offsets, to call the converters at unaligned addresses and see every
// byte they read and write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace rows {

// Source bytes starting `offset` bytes into their allocation and ending exactly at its end, so that
// the address sanitizer catches a read past the last byte.
class Source {
 public:
  Source(const void* bytes, std::size_t size, std::size_t offset)
      : bytes_(offset + size), offset_(offset) {
    if (size != 0) std::memcpy(bytes_.data() + offset, bytes, size);
  }
  explicit Source(const std::vector<std::uint32_t>& pixels, std::size_t offset)
      : Source(pixels.data(), pixels.size() * sizeof(std::uint32_t), offset) {}

  const void* bytes() const { return bytes_.data() + offset_; }
  const std::uint32_t* pixels() const { return static_cast<const std::uint32_t*>(bytes()); }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t offset_;
};

// A destination row `offset` bytes into its allocation, everything filled with `fill`, with guard
// bytes on both sides.
class Destination {
 public:
  static constexpr std::size_t guard = 16;

  Destination(std::size_t size, std::size_t offset, std::uint8_t fill)
      : bytes_(guard + offset + size + guard, fill),
        start_(guard + offset),
        size_(size),
        fill_(fill) {}

  void* start() { return bytes_.data() + start_; }

  std::vector<std::uint8_t> row() const {
    return {bytes_.begin() + static_cast<std::ptrdiff_t>(start_),
            bytes_.begin() + static_cast<std::ptrdiff_t>(start_ + size_)};
  }

  // Whether every byte outside the row still holds the fill.
  bool untouched_outside() const {
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
      const bool inside = i >= start_ && i < start_ + size_;
      if (!inside && bytes_[i] != fill_) return false;
    }
    return true;
  }

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t start_;
  std::size_t size_;
  std::uint8_t fill_;
};

}  // namespace rows
