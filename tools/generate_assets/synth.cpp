#include "tools/generate_assets/synth.h"

#include <cmath>

namespace synth {

double sine_turns(double turns) {
  double t = turns - std::floor(turns + 0.5);  // [-0.5, 0.5)
  if (t > 0.25) t = 0.5 - t;
  if (t < -0.25) t = -0.5 - t;
  const double x = 2.0 * pi * t;  // [-pi/2, pi/2]
  const double x2 = x * x;
  // Taylor series to x^21: the first term left out is below 1e-17 on this range.
  double term = x;
  double sum = x;
  for (int k = 1; k <= 10; ++k) {
    term = -term * x2 / static_cast<double>((2 * k) * (2 * k + 1));
    sum += term;
  }
  return sum;
}

double exp_of(double x) {
  constexpr double ln2 = 0.69314718055994530942;
  const double n = std::floor(x / ln2 + 0.5);
  const double r = x - n * ln2;  // |r| <= ln2 / 2
  double term = 1.0;
  double sum = 1.0;
  for (int k = 1; k <= 16; ++k) {
    term = term * r / static_cast<double>(k);
    sum += term;
  }
  return std::ldexp(sum, static_cast<int>(n));
}

std::vector<std::int16_t> to_pcm16(const std::vector<double>& signal, double peak) {
  double largest = 0;
  for (double s : signal) largest = std::fmax(largest, std::fabs(s));
  const double scale = largest > 0 ? peak * 32767.0 / largest : 0.0;
  std::vector<std::int16_t> pcm(signal.size());
  for (std::size_t i = 0; i < signal.size(); ++i) {
    double v = std::floor(signal[i] * scale + 0.5);
    v = v > 32767 ? 32767 : (v < -32768 ? -32768 : v);
    pcm[i] = static_cast<std::int16_t>(v);
  }
  return pcm;
}

}  // namespace synth
