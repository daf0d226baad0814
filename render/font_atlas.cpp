#include "render/font_atlas.h"

std::uint32_t font_atlas[atlas_pixels];
