// Sound synthesis for the song's instruments. Only + - * / sqrt floor and ldexp are used on
// doubles, with our own sine and exponential, so every machine makes the same samples.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "tools/generate_assets/prng.h"

namespace synth {

constexpr double pi = 3.14159265358979323846;

double sine_turns(double turns);  // sin(2 * pi * turns)
double exp_of(double x);          // e^x
inline double semitones(double s) { return exp_of(s * 0.057762265046662105); }  // 2^(s/12)

// The rate a sample plays at on C-4 when stored with this relative note (no finetune).
inline double rate_at_c4(int relative_note) { return 8363.0 * semitones(relative_note); }

// Amplitude falling by e every time_constant samples: one multiply per sample.
class Decay {
 public:
  Decay(double start, double time_constant_samples)
      : value_(start), factor_(exp_of(-1.0 / time_constant_samples)) {}
  double next() {
    const double v = value_;
    value_ *= factor_;
    return v;
  }

 private:
  double value_, factor_;
};

class OnePole {  // low-pass; high-pass is the input minus it
 public:
  OnePole(double cutoff_hz, double rate) : a_(1.0 - exp_of(-2.0 * pi * cutoff_hz / rate)) {}
  double low(double x) { return y_ += a_ * (x - y_); }
  double high(double x) { return x - low(x); }

 private:
  double a_, y_ = 0;
};

// White noise in [-1, 1).
inline double noise(Prng& prng) { return prng.unit() * 2.0 - 1.0; }

// Saturation that keeps small signals as they are and never passes 1.
inline double soft_clip(double x) { return x / std::sqrt(1.0 + x * x); }

// Scales so the largest magnitude becomes peak (of 32767) and rounds to 16 bits.
std::vector<std::int16_t> to_pcm16(const std::vector<double>& signal, double peak);

}  // namespace synth
