// Writes to a pipe from a thread of its own, through a ring of slots allocated once, so that the
// producer only waits when the ring is full. ffmpeg reads its two inputs in an order of its own
// choosing; with each input fed by its own feeder, neither side ever waits on the other for good.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace capture {

class PipeFeeder {
 public:
  PipeFeeder() = default;
  PipeFeeder(const PipeFeeder&) = delete;
  PipeFeeder& operator=(const PipeFeeder&) = delete;
  // Stops the thread; the descriptor is closed.
  ~PipeFeeder();

  // Takes `descriptor` (closed by finish() or stop()) and starts writing to it whatever is pushed,
  // in order; pieces of at most `slot_bytes`, at most `slots` of them waiting.
  void start(int descriptor, std::size_t slot_bytes, std::size_t slots);
  // Queues a copy of `size` bytes (at most slot_bytes), waiting while the ring is full; false when
  // an earlier write failed (see error_number()).
  bool push(const void* bytes, std::size_t size);
  // Waits until everything queued is written, then closes the descriptor (the reader sees its
  // end); false when a write failed.
  bool finish();
  // Drops what is queued, lets the thread end and closes the descriptor. A thread blocked in a
  // write ends only when the reader goes away: end the reader first.
  void stop();
  // The errno of the write that failed, or 0.
  int error_number() const;

 private:
  void run();
  void end_thread();

  int descriptor_ = -1;
  std::size_t slot_bytes_ = 0;
  std::vector<std::uint8_t> ring_;
  std::vector<std::size_t> sizes_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t head_ = 0;   // next slot to write out
  std::size_t count_ = 0;  // slots queued
  bool closing_ = false;   // nothing more comes
  bool dropping_ = false;  // stop without writing the rest
  int error_ = 0;
  std::thread thread_;
};

}  // namespace capture
