// The loader's own parts (xm/load*.cpp), not for callers: the bounds-checked reader every read
// goes through, and the readers of patterns and instruments.
//
// No part throws. A fault (a file too wrong to play) is kept in the Reader, the first one only,
// and each part returns at once when it finds one. A file that simply ends is no fault past the
// song header: the parts keep what arrived and say what did not in the Missing list.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "xm/load.h"

namespace xm::loading {

std::string num(std::uint64_t n);

// How much of a part arrived.
enum class Got { whole, part, none };

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t pos() const { return pos_; }
  std::size_t size() const { return bytes_.size(); }
  std::size_t left() const { return bytes_.size() - pos_; }

  // Records the first fault; always false, so that a part can `return r.fail(...)`.
  bool fail(std::size_t offset, std::string what);
  bool failed() const { return failed_; }
  std::size_t fault_offset() const { return fault_offset_; }
  std::string& fault() { return fault_; }

  // False, with a fault at the file's end naming `what`, when fewer than `n` bytes are left.
  bool need(std::uint64_t n, const char* what);
  // Where a part is cut short: nothing after it can arrive.
  Got ended() {
    pos_ = bytes_.size();
    return Got::none;
  }
  // Moves to `at`, or to the file's end when it ends sooner.
  void seek(std::uint64_t at) { pos_ = at < bytes_.size() ? static_cast<std::size_t>(at) : size(); }
  // Unchecked reads: the caller has made sure the bytes are there.
  std::uint8_t u8() { return bytes_[pos_++]; }
  std::uint16_t u16() {
    const unsigned lo = u8();
    return static_cast<std::uint16_t>(lo | (u8() << 8));
  }
  std::uint32_t u32() {
    const std::uint32_t lo = u16();
    return lo | (static_cast<std::uint32_t>(u16()) << 16);
  }
  // Up to `n` bytes, fewer where the file ends.
  std::span<const std::uint8_t> take(std::size_t n) {
    const auto s = bytes_.subspan(pos_, std::min(n, left()));
    pos_ += s.size();
    return s;
  }
  // A fixed-width text field present in full: up to its first NUL, trailing spaces dropped.
  std::string text(std::size_t width);

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  bool failed_ = false;
  std::size_t fault_offset_ = 0;
  std::string fault_;
};

// Pattern `index`: its header and as many whole cells as arrived; none when its header did not.
Got read_pattern(Reader& r, int index, int channels, std::uint16_t version, Pattern& p,
                 std::vector<Missing>& missing);
Pattern empty_pattern(int channels);

// A sample header as stored: lengths and loop points in bytes.
struct SampleHeader {
  std::uint32_t length = 0, loop_start = 0, loop_length = 0;
  std::uint8_t type = 0;
};

// Instrument `index` (from 0) with its sample headers; none when they did not all arrive, and the
// instrument is then left blank.
Got read_instrument(Reader& r, int index, Instrument& in, std::vector<SampleHeader>& headers);
// An instrument that plays nothing: no samples, every key on no_sample.
void make_blank(Instrument& in);
// The data of `in`'s samples, as much as the file holds; false when it ended first. What did not
// arrive is silence, as FastTracker 2 plays it, while `silence` (frames, shared by the whole file)
// lasts: a header may claim far more than any file holds.
bool read_sample_data(Reader& r, int index, Instrument& in,
                      const std::vector<SampleHeader>& headers, std::uint64_t& silence,
                      std::vector<Missing>& missing);

}  // namespace xm::loading
