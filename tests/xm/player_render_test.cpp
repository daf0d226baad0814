// The player on a small song built here: its length, renders in pieces by two players side by side,
// looping, and 16-bit saturation.
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
  m.instruments.resize(1);
  xm::Sample& s = m.instruments[0].samples.emplace_back();
  s.length = s.loop_length = 64;
  s.loop = xm::LoopType::forward;
  s.data.assign(64 + 2 * xm::sample_guard, 0);
  for (int i = 0; i < 64 + xm::sample_guard; ++i)
    s.data[xm::sample_guard + i] = static_cast<std::int16_t>(level + (i % 64) * 31 - 1000);
  for (int rows : {16, 8}) {
    std::vector<xm::Cell> cells(rows * channels);
    for (int c = 0; c < channels; ++c) cells[c] = {static_cast<std::uint8_t>(49 + c), 1, 0, 0, 0};
    cells[4 * channels] = {0, 0, 0, 0xF, 0x03};
    cells[6 * channels] = {0, 0, 0, 0xF, 0x80};
    m.patterns.push_back({rows, cells});
  }
  m.patterns[1].cells[7 * channels] = {0, 0, 0, 0xB, 0x00};
  return m;
}

// One call asking for more than the song gives exactly its length; two players alive at once,
// rendering in pieces of other sizes, give the same samples; looping goes on past the end.
TEST(PlayerRender, LengthPiecesSideBySideAndLooping) {
  const xm::Module song = make_song(4, 0);
  for (int rate : {8000, 44100, 96000}) {
    const auto frames = static_cast<std::size_t>(xm::song_length(song, rate).frames);
    xm::Player whole(song, {.rate = rate}), a(song, {.rate = rate}), b(song, {.rate = rate}),
        looping(song, {.rate = rate, .loop = true});
    std::vector<std::int16_t> expected(6 * frames), in_a(2 * frames), in_b(2 * frames);
    EXPECT_EQ(whole.render(expected.data(), frames + 1), frames) << rate;
    EXPECT_EQ(whole.render(expected.data(), 1), 0u);
    EXPECT_TRUE(whole.ended());
    EXPECT_EQ(whole.frames_rendered(), static_cast<std::int64_t>(frames));
    const std::size_t pieces[] = {1, 7, 333, 4096, 64};
    for (std::size_t k = 0, at_a = 0, at_b = 0; k < 10000 && (at_a < frames || at_b < frames);
         ++k) {
      at_a += a.render(in_a.data() + 2 * at_a, std::min(pieces[k % 5], frames - at_a));
      at_b += b.render(in_b.data() + 2 * at_b, std::min(pieces[(k + 2) % 5], frames - at_b));
    }
    expected.resize(2 * frames);
    EXPECT_EQ(in_a, expected) << rate;
    EXPECT_EQ(in_b, expected) << rate;
    std::vector<std::int16_t> looped(6 * frames);
    EXPECT_EQ(looping.render(looped.data(), 3 * frames), 3 * frames);
    EXPECT_TRUE(looping.ended());
    EXPECT_GT(std::count_if(looped.begin() + 2 * frames, looped.end(), [](int v) { return v; }),
              3 * frames);
  }
}

TEST(PlayerRender, SixteenBitOutputSaturates) {
  for (auto [level, limit] : {std::pair{30000, 32767}, std::pair{-30000, -32768}}) {
    const xm::Module song = make_song(32, level);
    xm::Player player(song, {}), in_float(song, {});
    std::vector<std::int16_t> out(4000);
    std::vector<float> floats(4000);
    player.render(out.data(), 2000);
    in_float.render(floats.data(), 2000);
    EXPECT_EQ(std::count(out.begin() + 1000, out.end(), limit), 3000) << level;
    EXPECT_GT(std::abs(floats.back()), 2.0f) << "float output is not clipped";
  }
}

}  // namespace
