#include "platform/capture/pipe_feeder.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace capture {

PipeFeeder::~PipeFeeder() { stop(); }

void PipeFeeder::start(int descriptor, std::size_t slot_bytes, std::size_t slots) {
  stop();
  descriptor_ = descriptor;
  slot_bytes_ = slot_bytes;
  ring_.assign(slot_bytes * slots, 0);
  sizes_.assign(slots, 0);
  head_ = count_ = 0;
  closing_ = dropping_ = false;
  error_ = 0;
  thread_ = std::thread(&PipeFeeder::run, this);
}

bool PipeFeeder::push(const void* bytes, std::size_t size) {
  if (!thread_.joinable() || size > slot_bytes_) return false;
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return error_ != 0 || count_ < sizes_.size(); });
  if (error_ != 0) return false;
  const std::size_t slot = (head_ + count_) % sizes_.size();
  // The writer never touches a slot that is not queued, so the copy can be made unlocked; it is
  // small next to the wait it saves, and the ring is the only place the bytes live.
  lock.unlock();
  std::memcpy(ring_.data() + slot * slot_bytes_, bytes, size);
  lock.lock();
  sizes_[slot] = size;
  ++count_;
  changed_.notify_all();
  return true;
}

void PipeFeeder::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return count_ > 0 || closing_ || dropping_; });
    if (dropping_ || count_ == 0) return;
    const std::uint8_t* at = ring_.data() + head_ * slot_bytes_;
    std::size_t left = sizes_[head_];
    lock.unlock();
    int failure = 0;
    while (left > 0) {
      const ssize_t written = ::write(descriptor_, at, left);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) {
        failure = written < 0 ? errno : EIO;
        break;
      }
      at += written;
      left -= static_cast<std::size_t>(written);
    }
    lock.lock();
    if (failure != 0) {
      error_ = failure;
      changed_.notify_all();
      return;
    }
    head_ = (head_ + 1) % sizes_.size();
    --count_;
    changed_.notify_all();
  }
}

void PipeFeeder::end_thread() {
  if (thread_.joinable()) thread_.join();
  if (descriptor_ >= 0) ::close(descriptor_);
  descriptor_ = -1;
}

bool PipeFeeder::finish() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  end_thread();
  std::lock_guard lock(mutex_);
  return error_ == 0;
}

void PipeFeeder::stop() {
  {
    std::lock_guard lock(mutex_);
    dropping_ = true;
  }
  changed_.notify_all();
  end_thread();
}

int PipeFeeder::error_number() const {
  std::lock_guard lock(mutex_);
  return error_;
}

}  // namespace capture
