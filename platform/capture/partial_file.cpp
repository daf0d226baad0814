#include "platform/capture/partial_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace capture {

int create_partial(const std::filesystem::path& target, std::string& partial, std::string& error) {
  std::string name = ".";
  name.append(target.filename().string());
  name.append(".XXXXXX");
  partial = (target.parent_path() / name).string();
  const int descriptor = mkstemp(partial.data());
  if (descriptor < 0) error = std::strerror(errno);
  return descriptor;
}

bool put_in_place(const std::string& partial, const std::filesystem::path& target,
                  std::string& error) {
  // mkstemp makes the file private.
  const mode_t mask = umask(0);
  umask(mask);
  chmod(partial.c_str(), 0666 & ~mask);
  if (std::rename(partial.c_str(), target.c_str()) != 0) {
    error = std::strerror(errno);
    std::remove(partial.c_str());
    return false;
  }
  return true;
}

}  // namespace capture
