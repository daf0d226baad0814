// The loader's results as text: the fault, and what a file that ends early lacks.
#include <string>

#include "xm/load.h"

namespace xm {
namespace {

// At most this many things are named; the rest are counted.
constexpr std::size_t named_at_most = 4;

// 1234567 as "1,234,567".
std::string grouped(std::uint64_t n) {
  std::string digits = std::to_string(n), s;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) s.push_back(',');
    s.push_back(digits[i]);
  }
  return s;
}

// "patterns 4 to 9 are missing", or "pattern 9 is missing" for one: `tail` follows the numbers,
// then the verb for one or for many.
std::string range(const char* one, const char* many, int first, int last, const char* tail,
                  const char* verb_one, const char* verb_many) {
  std::string s = first == last ? one : many;
  s += ' ';
  s += std::to_string(first);
  if (first != last) s.append(" to ").append(std::to_string(last));
  return s.append(tail).append(first == last ? verb_one : verb_many);
}

std::string describe(const Missing& m) {
  switch (m.part) {
    case Missing::Part::rows:
      return "pattern " + std::to_string(m.index) + " holds " + grouped(m.held) + " of " +
             grouped(m.of) + " rows";
    case Missing::Part::patterns:
      return range("pattern", "patterns", m.index, static_cast<int>(m.of) - 1, "", " is", " are") +
             " missing";
    case Missing::Part::instruments:
      return range("instrument", "instruments", m.index, static_cast<int>(m.of), "", " is",
                   " are") +
             " missing";
    case Missing::Part::frames:
      return "sample " + std::to_string(m.sample) + " of instrument " + std::to_string(m.index) +
             " holds " + grouped(m.held) + " of " + grouped(m.of) + " frames";
    case Missing::Part::samples: {
      const std::string instrument = " of instrument " + std::to_string(m.index);
      return range("sample", "samples", m.sample, static_cast<int>(m.of) - 1, instrument.c_str(),
                   " holds", " hold") +
             " no frames";
    }
  }
  return "";
}

}  // namespace

std::string LoadResult::message() const {
  if (ok()) return "";
  std::string s = "at byte ";
  s.append(std::to_string(offset)).append(": ").append(error);
  return s;
}

std::string LoadResult::missing_text() const {
  std::string s;
  for (std::size_t k = 0; k < missing.size() && k < named_at_most; ++k) {
    if (k > 0) s += "; ";
    s += describe(missing[k]);
  }
  if (missing.size() > named_at_most)
    s += "; and " + std::to_string(missing.size() - named_at_most) + " more";
  return s;
}

}  // namespace xm
