// The four music calls for tests: each one is a line in the emulated platform's call record, so
// that tests see the music start and stop in order with the display's calls.
#include <string>

#include "music/bassmod.h"
#include "platform/emulated/fault_plan.h"

int BASSMOD_Init(int device, std::uint32_t rate, std::uint32_t flags) {
  emulated::record_call("BASSMOD_Init(" + std::to_string(device) + "," + std::to_string(rate) +
                        "," + std::to_string(flags) + ")");
  return 1;
}

int BASSMOD_MusicLoad(int from_memory, const void* file, std::uint32_t offset, std::uint32_t length,
                      std::uint32_t flags) {
  const std::string name = from_memory == 0 ? static_cast<const char*>(file) : "memory";
  emulated::record_call("BASSMOD_MusicLoad(" + name + "," + std::to_string(offset) + "," +
                        std::to_string(length) + "," + std::to_string(flags) + ")");
  return 1;
}

int BASSMOD_MusicPlay() {
  emulated::record_call("BASSMOD_MusicPlay()");
  return 1;
}

void BASSMOD_Free() { emulated::record_call("BASSMOD_Free()"); }
