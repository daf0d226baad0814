// Any bytes into the loader. What loads must hold what xm/module.h promises, and is played for
// about three seconds at 44100 Hz in small blocks when the player is built in.
#include <cstddef>
#include <cstdint>

#include "xm/load.h"
#ifdef XM_FUZZ_PLAYER
#include "xm/player.h"
#endif

namespace {

void check(bool promise) {
  if (!promise) __builtin_trap();
}

void check_module(const xm::Module& m) {
  check(m.channels >= 1 && m.channels <= xm::max_channels && !m.orders.empty());
  for (std::uint8_t o : m.orders) check(o < m.patterns.size());
  for (const xm::Pattern& p : m.patterns) {
    check(p.rows >= 1 && p.rows <= xm::max_rows);
    check(p.cells.size() == static_cast<std::size_t>(p.rows * m.channels));
  }
  for (const xm::Instrument& in : m.instruments) {
    for (std::uint8_t k : in.keymap) check(k == xm::no_sample || k < in.samples.size());
    for (const xm::Envelope* e : {&in.volume_envelope, &in.panning_envelope}) {
      check(e->count <= xm::max_envelope_points && (!e->on || e->count > 0));
      check(!e->loop_on || e->loop_start <= e->loop_end);
      if (e->count > 0) check(e->sustain < e->count && e->loop_end < e->count);
      for (int i = 0; i < e->count; ++i) {
        check(e->points[i].value <= 64 && (i == 0 || e->points[i].tick > e->points[i - 1].tick));
      }
    }
    for (const xm::Sample& s : in.samples) {
      check(s.data.size() == s.length + 2u * xm::sample_guard);
      check(s.loop == xm::LoopType::none
                ? s.loop_length == 0
                : s.loop_length > 0 && s.loop_start + s.loop_length == s.length);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const xm::LoadResult r = xm::load({data, size});
  check(r.ok() || r.offset <= size);
  if (!r.ok()) return 0;
  check_module(r.module);
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
