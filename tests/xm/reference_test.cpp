// Our player beside openmpt123, a black box: the loudness of its render of the show's module.
// Tick by tick the player is held to FastTracker 2's own traces (ft2_reference_test.cpp).
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

#include "tests/assets/generated_files.h"
#include "tests/assets/reference_render.h"
#include "xm/load.h"
#include "xm/player.h"

namespace {

// Pearson correlation of two equally long series.
double correlation(std::vector<double> a, std::vector<double> b) {
  for (std::vector<double>* v : {&a, &b}) {
    const double mean = std::accumulate(v->begin(), v->end(), 0.0) / static_cast<double>(v->size());
    for (double& x : *v) x -= mean;
  }
  const auto dot = [](const auto& x, const auto& y) {
    return std::inner_product(x.begin(), x.end(), y.begin(), 0.0);
  };
  return dot(a, b) / std::sqrt(dot(a, a) * dot(b, b));
}

// `allowed` is the share of channel-ticks that may still differ in pitch or volume.
// Our render is as long as openmpt123's, and its loudness a window of 50 ms at a time follows
// theirs.
TEST(ShowModule, SoundsAsLoudAsOpenmptHearsItThroughout) {
  const xm::LoadResult loaded = xm::load(generated("theme2.xm"));
  ASSERT_TRUE(loaded.ok()) << loaded.message();
  const Rendering theirs = render_with_openmpt(generated_path("theme2.xm"));
  ASSERT_EQ(theirs.error, "");
  xm::Player player(loaded.module, {.rate = 44100, .interpolation = xm::Interpolation::nearest});
  Rendering ours{"", std::vector<std::int16_t>(theirs.samples.size() + 2)};
  ours.samples.resize(2 * player.render(ours.samples.data(), theirs.frame_count() + 1));
  const std::size_t n = theirs.frame_count();
  ASSERT_EQ(ours.frame_count(), n) << "length in frames";
  EXPECT_GT(correlation(loudness(ours, 0, n, 2205), loudness(theirs, 0, n, 2205)), 0.99);
}

}  // namespace
