// Reads an XM file (versions 0x0102 to 0x0104) from bytes into a Module.
//
// The only part of the player that allocates. It never reads past `bytes`. A file it cannot play
// gets an error naming what is wrong and the byte offset where it was found; oddities FastTracker 2
// accepts are read as FastTracker 2 reads them (loops past the sample end are cut to it, an order
// entry naming a missing pattern plays an empty 64-row pattern, ...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "xm/module.h"

namespace xm {

struct LoadResult {
  Module module;      // complete only when ok()
  std::string error;  // empty on success, else what is wrong, e.g. "pattern 3: packed data overruns
                      // its rows"
  std::size_t offset = 0;  // byte offset of the fault

  bool ok() const { return error.empty(); }
  // "at byte 1234: pattern 3: ..." or "" when ok.
  std::string message() const;
};

LoadResult load(std::span<const std::uint8_t> bytes);

}  // namespace xm
