// Where the show reads its data files. It opens them by name in its working directory; an
// installed show started elsewhere finds them in the data directory installed beside it.
#pragma once

namespace sdl_platform {

// Changes the working directory to `installed` (relative to the directory holding the
// executable, e.g. "../share/show") when the working directory holds none of the show's data files
// and `installed` holds at least one. Otherwise, or when the executable's place is unknown, the
// working directory stays as it is; missing files then count as empty, as the show treats them.
void enter_data_directory(const char* installed);

}  // namespace sdl_platform
