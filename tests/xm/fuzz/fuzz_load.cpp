// Any bytes into the loader; what loads is played for about three seconds at 44100 Hz in small
// blocks when the player is built in, so the sanitizers see every read the mixer makes of it.
#include <cstddef>
#include <cstdint>

#include "xm/load.h"
#ifdef XM_FUZZ_PLAYER
#include "xm/player.h"
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const xm::LoadResult r = xm::load({data, size});
  if (!r.ok() && r.offset > size) __builtin_trap();
  if (!r.ok()) return 0;
#ifdef XM_FUZZ_PLAYER
  xm::PlayerSettings settings;
  settings.rate = 44100;
  xm::Player player(r.module, settings);
  std::int16_t block[2 * 512];
  for (int frames = 0; frames < 3 * 44100 && player.render(block, 512) > 0; frames += 512) {
  }
#endif
  return 0;
}
