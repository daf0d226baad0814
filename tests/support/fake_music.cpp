// The four music calls, recorded into the platform fake's log; they always succeed.
#include <string>

#include "music/bassmod.h"
#include "tests/support/fake_platform.h"

int BASSMOD_Init(int device, std::uint32_t rate, std::uint32_t flags) {
  fake::record("BASSMOD_Init(" + std::to_string(device) + "," + std::to_string(rate) + "," +
               std::to_string(flags) + ")");
  return 1;
}

int BASSMOD_MusicLoad(int from_memory, const void* file, std::uint32_t offset, std::uint32_t length,
                      std::uint32_t flags) {
  std::string source = "memory";
  if (from_memory == 0) source = file != nullptr ? static_cast<const char*>(file) : "null";
  fake::record("BASSMOD_MusicLoad(" + std::to_string(from_memory) + "," + source + "," +
               std::to_string(offset) + "," + std::to_string(length) + "," + std::to_string(flags) +
               ")");
  return 1;
}

int BASSMOD_MusicPlay() {
  fake::record("BASSMOD_MusicPlay()");
  return 1;
}

void BASSMOD_Free() { fake::record("BASSMOD_Free()"); }
