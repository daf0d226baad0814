// The four music calls the show makes. The show never looks at their results.
#pragma once

#include <cstdint>

// Sound output on `device` (-1: the default) at `rate` Hz.
int BASSMOD_Init(int device, std::uint32_t rate, std::uint32_t flags);

// Loads a module: from the file named by `file` when `from_memory` is 0.
int BASSMOD_MusicLoad(int from_memory, const void* file, std::uint32_t offset, std::uint32_t length,
                      std::uint32_t flags);

// Starts the loaded module; it plays on by itself from then on.
int BASSMOD_MusicPlay();

// Stops playback and releases everything; harmless when Init or MusicLoad failed or never ran.
void BASSMOD_Free();
