// "theme2.xm": the show's music, composed here note by note.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/generate_assets/xm_module.h"

xm::Module theme_song();
std::vector<std::uint8_t> theme_song_bytes();
