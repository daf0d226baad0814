// PNG files: previews of the generated files, for looking at the art, and the desktop icons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes width x height pixels of 4-byte red, green, blue, unused data as an RGB PNG, each pixel
// repeated scale times across and down. Returns false with a message in error on failure.
bool write_png_preview(const std::string& path, const std::vector<std::uint8_t>& rgbx, int width,
                       int height, int scale, std::string& error);

// Writes width x height pixels of red, green, blue, alpha as an RGBA PNG.
bool write_png_rgba(const std::string& path, const std::vector<std::uint8_t>& rgba, int width,
                    int height, std::string& error);
