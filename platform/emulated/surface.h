// The primary surface and its flipping chain. Flip rotates the buffers under the surface objects,
// so the object at position 1 always designates the buffer to draw next. A released chain frees
// its buffers, but its surface objects stay in memory and answer errors.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/emulated/platform_state.h"

namespace emulated::detail {

class EmulatedSurface;

struct Chain {
  const EmulatedDirectDraw* owner = nullptr;
  bool alive = true;
  int back_buffers = 0;
  int width = 0;
  int height = 0;
  LONG pitch = 0;
  Layout layout = Layout::xrgb8888;
  std::uint64_t mode_generation = 0;  // the mode it was made in
  std::size_t buffer_bytes = 0;
  std::vector<std::uint8_t> memory;  // every buffer of the chain, one after the other
  int rotation = 0;
  int primary_references = 1;
  int locked_position = -1;
  std::uint8_t* locked_pointer = nullptr;
  std::vector<std::unique_ptr<EmulatedSurface>> surfaces;  // by position: 0 is the front

  int buffer_count() const { return back_buffers + 1; }
  std::uint8_t* buffer_at(int position) {
    const auto index = static_cast<std::size_t>((position + rotation) % buffer_count());
    return memory.data() + index * buffer_bytes;
  }
  // A mode change since the chain was made loses it until Restore.
  bool lost() const { return mode_generation != state().display.mode_generation; }
};

// Makes the primary surface, with `back_buffers` (0 for a lone primary) in the current mode.
// DDERR_OUTOFVIDEOMEMORY when the buffers cannot be had.
HRESULT create_chain(const EmulatedDirectDraw& owner, int back_buffers,
                     IDirectDrawSurface** primary);
// The chain that holds the primary surface now, or null.
Chain* live_chain();
// Frees the chain's buffers; its surface objects answer errors from now on.
void release_chain(Chain& chain);
void retire_all_chains();

}  // namespace emulated::detail
