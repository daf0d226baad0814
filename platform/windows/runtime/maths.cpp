// sqrt, lround and llround, in place of MinGW's, whose prebuilt code compares with the P6's fcomi.
// The results are the same: sqrt is the x87's fsqrt (or SSE2's sqrtsd on x86-64) returned as the
// unit leaves it, and the rounding is exact, halves away from zero, with values out of range
// converted as the processor converts them. errno is left alone: nothing in the show reads it.
#include <cmath>
#include <cstdint>

namespace {

// Whole numbers from 2^52 up, infinities and NaN come back as they are.
double round_half_away(double x) {
  const double magnitude = x < 0 ? -x : x;
  if (!(magnitude < 4503599627370496.0)) return x;
  // Both below 2^52 and less than 1 apart: the difference is exact.
  double whole = static_cast<double>(static_cast<std::int64_t>(magnitude));
  if (magnitude - whole >= 0.5) whole += 1.0;
  return x < 0 ? -whole : whole;
}

}  // namespace

extern "C" double sqrt(double x) { return __builtin_sqrt(x); }
extern "C" long lround(double x) { return static_cast<long>(round_half_away(x)); }
extern "C" long long llround(double x) { return static_cast<long long>(round_half_away(x)); }
