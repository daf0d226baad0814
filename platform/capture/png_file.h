// Writing a picture of 8-bit red, green, blue bytes as a PNG file.
#pragma once

#include <cstdint>
#include <string>

namespace capture {

// Rows top first, each width x 3 bytes with no gap. False with `error` set when the file could not
// be written.
bool write_png_rgb(const char* path, const std::uint8_t* rgb, int width, int height,
                   std::string& error);

}  // namespace capture
