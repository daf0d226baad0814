// The feeder against a reader at the other end of a real pipe: everything pushed arrives in order
// however the ring and the pieces are sized, and a reader that goes away is reported, not waited
// for.
#include "platform/capture/pipe_feeder.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

namespace {

struct Pipe {
  Pipe() {
    int ends[2];
    EXPECT_EQ(pipe(ends), 0);
    read_end = ends[0];
    write_end = ends[1];
  }
  ~Pipe() {
    if (read_end >= 0) close(read_end);
  }
  int read_end = -1, write_end = -1;
};

// Reads until the writer closes, in small reads, now and then pausing so that the ring fills.
std::vector<std::uint8_t> read_slowly(int descriptor) {
  std::vector<std::uint8_t> bytes;
  std::uint8_t buffer[1000];
  for (int reads = 0;; ++reads) {
    const ssize_t got = read(descriptor, buffer, sizeof(buffer));
    if (got <= 0) return bytes;
    bytes.insert(bytes.end(), buffer, buffer + got);
    if (reads % 97 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

struct Sizes {
  std::size_t slot_bytes, slots, piece_bytes, pieces;
};

class FeederSizes : public ::testing::TestWithParam<Sizes> {};

TEST_P(FeederSizes, EverythingPushedArrivesInOrder) {
  const Sizes sizes = GetParam();
  Pipe pipe;
  std::vector<std::uint8_t> received;
  std::thread reader([&] { received = read_slowly(pipe.read_end); });
  capture::PipeFeeder feeder;
  feeder.start(pipe.write_end, sizes.slot_bytes, sizes.slots);
  std::vector<std::uint8_t> sent;
  std::vector<std::uint8_t> piece(sizes.piece_bytes);
  for (std::size_t p = 0; p < sizes.pieces; ++p) {
    for (std::size_t i = 0; i < piece.size(); ++i) piece[i] = static_cast<std::uint8_t>(p * 7 + i);
    // The buffer is reused at once, as the capture reuses its frame.
    ASSERT_TRUE(feeder.push(piece.data(), piece.size() - p % 2));
    sent.insert(sent.end(), piece.begin(), piece.end() - static_cast<std::ptrdiff_t>(p % 2));
  }
  EXPECT_TRUE(feeder.finish());
  reader.join();
  EXPECT_EQ(feeder.error_number(), 0);
  EXPECT_TRUE(received == sent) << received.size() << " bytes of " << sent.size();
}

INSTANTIATE_TEST_SUITE_P(Rings, FeederSizes,
                         ::testing::Values(Sizes{1, 1, 1, 3000}, Sizes{64, 1, 64, 500},
                                           Sizes{4096, 3, 4000, 300},
                                           // larger than a pipe holds
                                           Sizes{300000, 4, 300000, 20}));

TEST(PipeFeeder, APieceLargerThanASlotIsRefused) {
  Pipe pipe;
  capture::PipeFeeder feeder;
  feeder.start(pipe.write_end, 8, 2);
  const std::uint8_t bytes[9] = {};
  EXPECT_FALSE(feeder.push(bytes, 9));
  EXPECT_TRUE(feeder.push(bytes, 8));
  EXPECT_TRUE(feeder.finish());
}

TEST(PipeFeeder, AReaderThatGoesAwayIsReportedAndNothingWaits) {
  signal(SIGPIPE, SIG_IGN);
  for (const bool finish : {true, false}) {
    Pipe pipe;
    capture::PipeFeeder feeder;
    feeder.start(pipe.write_end, 100000, 4);
    std::vector<std::uint8_t> bytes(100000, 1);
    ASSERT_TRUE(feeder.push(bytes.data(), bytes.size()));
    close(pipe.read_end);
    pipe.read_end = -1;
    // The write fails at once; a push soon sees it, however many slots are free.
    bool pushed = true;
    for (int i = 0; i < 1000 && pushed; ++i) pushed = feeder.push(bytes.data(), bytes.size());
    EXPECT_FALSE(pushed);
    EXPECT_EQ(feeder.error_number(), EPIPE);
    if (finish) {
      EXPECT_FALSE(feeder.finish());
    } else {
      feeder.stop();
    }
    EXPECT_FALSE(feeder.push(bytes.data(), 1)) << "nothing is taken after the end";
  }
}

}  // namespace
