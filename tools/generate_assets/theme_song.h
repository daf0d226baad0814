// "theme2.xm": the show's music, composed here note by note.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/xm_writer/xm_module.h"

xmwrite::Module theme_song();
std::vector<std::uint8_t> theme_song_bytes();
