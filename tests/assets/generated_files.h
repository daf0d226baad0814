// The six data files as the generator writes them, made once per test run in a fresh folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Runs the generator into a new temporary folder and returns that folder ("" on failure).
std::string run_generator();

Bytes read_file(const std::string& path);

// The files of one generator run, made on first use and shared by the tests.
const Bytes& generated(const std::string& name);
std::string generated_path(const std::string& name);

constexpr int picture_width = 640;
constexpr int picture_height = 400;

struct Pixel {
  int r, g, b;
};

inline Pixel pixel_at(const Bytes& picture, int x, int y) {
  const std::size_t at = (static_cast<std::size_t>(y) * picture_width + x) * 4;
  return {picture[at], picture[at + 1], picture[at + 2]};
}
