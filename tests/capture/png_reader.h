// Reads a PNG file back as 0x00RRGGBB pixels, for comparing pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Picture {
  int width = 0;
  int height = 0;
  bool rgb8 = false;  // stored as 8-bit red, green, blue with no alpha and no palette
  std::vector<std::uint32_t> pixels;
  std::string error;  // empty when the file was read
};

Picture read_png(const std::string& path);
