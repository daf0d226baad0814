// Any bytes into the loader; what loads is played for about three seconds at 44100 Hz in small
// blocks when the player is built in, so the sanitizers see every read the mixer makes of it.
// Files that end early load as far as they go (the seeds hold many), and say what they lack.
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
  static_cast<void>(r.missing_text());  // made, so that the sanitizers see it
  // What the replayer and mixer take on trust (xm/module.h).
  const xm::Module& m = r.module;
  for (const std::uint8_t order : m.orders)
    if (order >= m.patterns.size()) __builtin_trap();
  for (const xm::Pattern& p : m.patterns)
    if (p.cells.size() != static_cast<std::size_t>(p.rows) * static_cast<std::size_t>(m.channels))
      __builtin_trap();
  for (const xm::Instrument& in : m.instruments) {
    for (const std::uint8_t s : in.keymap)
      if (s != xm::no_sample && s >= in.samples.size()) __builtin_trap();
    for (const xm::Sample& s : in.samples)
      if (s.data.size() != s.length + 2 * std::size_t{xm::sample_guard} ||
          s.loop_start + s.loop_length > s.length)
        __builtin_trap();
  }
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
