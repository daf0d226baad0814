// Writing a picture of 8-bit red, green, blue bytes as a PNG file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace capture {

// Rows top first, each width x 3 bytes with no gap. Written as output_file.h has it: under a
// temporary name beside `path` and renamed into place, so a failure leaves whatever stood at `path`
// untouched and no partial file behind; or, where a named pipe or a device stands at `path`, into
// it. False with `error` set (the system's reason where there is one) when it could not be
// written.
bool write_png_rgb(const std::filesystem::path& path, const std::uint8_t* rgb, int width,
                   int height, std::string& error);

}  // namespace capture
