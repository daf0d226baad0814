// Music calls that play nothing: the show runs silently until a player is linked in its place.
#include "music/bassmod.h"

int BASSMOD_Init(int, std::uint32_t, std::uint32_t) { return 0; }

int BASSMOD_MusicLoad(int, const void*, std::uint32_t, std::uint32_t, std::uint32_t) { return 0; }

int BASSMOD_MusicPlay() { return 0; }

void BASSMOD_Free() {}
