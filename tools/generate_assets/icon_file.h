// Windows .ico files: each image stored as a 32-bit bitmap (blue, green, red, alpha, rows bottom
// up) with its 1-bit AND mask, the form every Windows version and resource compiler reads.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/generate_assets/icon_picture.h"

// The .ico bytes of the images in their order. Sizes must be 1 to 255; pixels whose alpha is 0
// are marked transparent in the AND mask and stored black, so that mask-only drawing shows the
// background there.
std::vector<std::uint8_t> ico_file_bytes(const std::vector<IconImage>& images);
