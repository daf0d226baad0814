// Reads a module file whole into memory, for the loader (xm/load.h), which takes bytes.
//
// Only a regular file is opened (a directory, a pipe or a device is refused without waiting on it),
// and only up to max_module_bytes, so that a wrong file cannot exhaust memory.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace music {

constexpr std::uintmax_t max_module_bytes = 64u << 20;

struct ModuleFile {
  std::vector<std::uint8_t> bytes;
  std::string error;  // empty when read, else why not, e.g. "not a regular file"
  bool ok() const { return error.empty(); }
};

ModuleFile read_module_file(const std::string& path);

// The bytes a music load names: `length` bytes from `offset` of the memory at `file`, or of the
// file whose path `file` is (read into `read`; all from `offset` on when `length` is 0). Empty when
// they cannot be had.
std::span<const std::uint8_t> module_bytes(bool from_memory, const void* file, std::uint32_t offset,
                                           std::uint32_t length, ModuleFile& read);

}  // namespace music
