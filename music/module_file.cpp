#include "music/module_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>

namespace music {

ModuleFile read_module_file(const std::string& path) {
  ModuleFile file;
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    file.error = std::strerror(errno);
    return file;
  }
  if (!S_ISREG(status.st_mode)) {
    file.error = "not a regular file";
    return file;
  }
  const auto size = static_cast<std::uintmax_t>(status.st_size);
  if (size > max_module_bytes) {
    file.error = "larger than 64 MB";
    return file;
  }
  std::FILE* stream = std::fopen(path.c_str(), "rb");
  if (stream == nullptr) {
    file.error = std::strerror(errno);
    return file;
  }
  // One byte more than the size seen, so that a file that grew since is refused, not cut short.
  file.bytes.resize(static_cast<std::size_t>(size) + 1);
  const std::size_t read = std::fread(file.bytes.data(), 1, file.bytes.size(), stream);
  if (std::ferror(stream) != 0) {
    file.error = "read error";
  } else if (read != size) {
    file.error = "changed while being read";
  }
  std::fclose(stream);
  file.bytes.resize(file.error.empty() ? read : 0);
  return file;
}

std::span<const std::uint8_t> module_bytes(bool from_memory, const void* file, std::uint32_t offset,
                                           std::uint32_t length, ModuleFile& read) {
  if (file == nullptr) return {};
  if (from_memory) return {static_cast<const std::uint8_t*>(file) + offset, length};
  read = read_module_file(static_cast<const char*>(file));
  if (!read.ok() || offset > read.bytes.size()) return {};
  const std::size_t rest = read.bytes.size() - offset;
  if (length > rest) return {};
  return std::span<const std::uint8_t>(read.bytes).subspan(offset, length == 0 ? rest : length);
}

}  // namespace music
