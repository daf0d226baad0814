// The player on a small song built here: its length, renders in pieces, looping, two players side
// by side, and 16-bit saturation.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "xm/player.h"

namespace {

// Every channel plays a looped sample of `level` with a small ripple; a speed and a tempo change
// make ticks of several lengths, and the last row jumps back to the start.
xm::Module make_song(int channels, int level) {
  xm::Module m;
  m.channels = channels;
  m.orders = {0, 1};
  xm::Sample s;
  s.length = s.loop_length = 64;
  s.loop = xm::LoopType::forward;
  s.data.assign(64 + 2 * xm::sample_guard, 0);
  for (int i = 0; i < 64 + xm::sample_guard; ++i)
    s.data[xm::sample_guard + i] = static_cast<std::int16_t>(level + (i % 64) * 31 - 1000);
  m.instruments.resize(1);
  m.instruments[0].samples = {s};
  for (int rows : {16, 8}) {
    xm::Pattern p{rows, std::vector<xm::Cell>(static_cast<std::size_t>(rows * channels))};
    for (int c = 0; c < channels; ++c)
      p.cells[static_cast<std::size_t>(c)] = {static_cast<std::uint8_t>(49 + c), 1, 0, 0, 0};
    p.cells[static_cast<std::size_t>(4 * channels)] = {0, 0, 0, 0xF, 0x03};
    p.cells[static_cast<std::size_t>(6 * channels)] = {0, 0, 0, 0xF, 0x80};
    m.patterns.push_back(p);
  }
  m.patterns[1].cells[static_cast<std::size_t>(7 * channels)] = {0, 0, 0, 0xB, 0x00};
  return m;
}

template <typename T>
std::vector<T> render(xm::Player& player, std::size_t frames, std::size_t piece) {
  std::vector<T> out(2 * frames);
  std::size_t done = 0;
  while (done < frames) {
    const std::size_t got = player.render(out.data() + 2 * done, std::min(piece, frames - done));
    if (got == 0) break;
    done += got;
  }
  out.resize(2 * done);
  return out;
}

TEST(PlayerRender, StopsAtTheSongLength) {
  const xm::Module song = make_song(4, 0);
  for (int rate : {8000, 44100, 96000}) {
    xm::Player player(song, {.rate = rate});
    const auto frames = static_cast<std::size_t>(xm::song_length(song, rate).frames);
    EXPECT_EQ(render<float>(player, 2 * frames, 1000).size(), 2 * frames) << rate;
    EXPECT_TRUE(player.ended());
    EXPECT_EQ(player.frames_rendered(), static_cast<std::int64_t>(frames));
  }
}

// Two players alive at once, each rendering in pieces of other sizes, give what one call gives.
TEST(PlayerRender, PiecesSideBySideAndLooping) {
  const xm::Module song = make_song(4, 0);
  const auto frames = static_cast<std::size_t>(xm::song_length(song, 44100).frames);
  xm::Player whole(song, {}), a(song, {}), b(song, {}), looping(song, {.loop = true});
  const std::vector<std::int16_t> expected = render<std::int16_t>(whole, frames, frames);
  std::vector<std::int16_t> in_a(2 * frames), in_b(2 * frames);
  const std::size_t pieces[] = {1, 7, 333, 4096, 64};
  for (std::size_t k = 0, done_a = 0, done_b = 0; k < 10000 && (done_a < frames || done_b < frames);
       ++k) {
    done_a += a.render(in_a.data() + 2 * done_a, std::min(pieces[k % 5], frames - done_a));
    done_b += b.render(in_b.data() + 2 * done_b, std::min(pieces[(k + 2) % 5], frames - done_b));
  }
  EXPECT_EQ(in_a, expected);
  EXPECT_EQ(in_b, expected);
  // Looping goes on past the end, from the start again (the song jumps back to order 0).
  const std::vector<std::int16_t> looped = render<std::int16_t>(looping, 3 * frames, 4096);
  ASSERT_EQ(looped.size(), 6 * frames);
  EXPECT_TRUE(looping.ended());
  EXPECT_NE(std::vector(looped.begin() + 2 * frames, looped.end()),
            std::vector<std::int16_t>(4 * frames, 0));
}

TEST(PlayerRender, SixteenBitOutputSaturates) {
  for (auto [level, limit] : {std::pair{30000, 32767}, std::pair{-30000, -32768}}) {
    const xm::Module song = make_song(32, level);
    xm::Player player(song, {}), in_float(song, {});
    const std::vector<std::int16_t> out = render<std::int16_t>(player, 2000, 2000);
    EXPECT_EQ(std::count(out.begin() + 1000, out.end(), limit), 3000) << level;
    const std::vector<float> floats = render<float>(in_float, 2000, 2000);
    EXPECT_GT(std::abs(floats.back()), 2.0f) << "float output is not clipped";
  }
}

}  // namespace
