#include "platform/capture/output_file.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <system_error>
#include <utility>

namespace capture {
namespace {

namespace fs = std::filesystem;

// True when `path` leads through a link that lives in /proc (/dev/stdout is one to
// /proc/self/fd/1): a descriptor handed to us, written as it stands even when it is a regular
// file, so that /dev/stdout itself is never replaced.
bool names_a_descriptor(fs::path path) {
  for (int hops = 0; hops < 40; ++hops) {  // as many links as the system follows
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(path, error))) return false;
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    struct statfs system {};
    if (statfs(folder.c_str(), &system) == 0 && system.f_type == PROC_SUPER_MAGIC) return true;
    const fs::path next = fs::read_symlink(path, error);
    if (error) return false;
    path = folder / next;  // an absolute `next` stands alone
  }
  return false;
}

// ".NAME.XXXXXX" beside `target`, for mkostemp. Out of line: GCC 12 warns wrongly about these
// appends when they are inlined.
[[gnu::noinline]] std::string partial_name(const fs::path& target) {
  std::string name = ".";
  name += target.filename().string();
  name += ".XXXXXX";
  return (target.parent_path() / name).string();
}

}  // namespace

bool OutputFile::fail(const char* reason) {
  error_ = reason;
  abandon();
  return false;
}

bool OutputFile::open(const fs::path& target) {
  abandon();
  error_.clear();
  target_ = target;
  int descriptor = -1;
  struct stat standing {};
  const bool exists = target != "-" && stat(target.c_str(), &standing) == 0;
  if (target == "-") {
    descriptor = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
  } else if (exists && S_ISSOCK(standing.st_mode)) {
    return fail("it is a socket, which cannot be opened as a file");
  } else if ((exists && !S_ISREG(standing.st_mode)) || names_a_descriptor(target)) {
    descriptor = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
  } else {
    partial_ = partial_name(target);
    descriptor = mkostemp(partial_.data(), O_CLOEXEC);
    if (descriptor < 0) partial_.clear();
    // mkostemp makes the file private.
    const mode_t mask = umask(0);
    umask(mask);
    if (descriptor >= 0) fchmod(descriptor, 0666 & ~mask);
  }
  if (descriptor < 0) return fail(std::strerror(errno));
  file_ = fdopen(descriptor, "wb");
  if (file_ == nullptr) {
    const int reason = errno;
    ::close(descriptor);
    return fail(std::strerror(reason));
  }
  if (partial_.empty()) std::signal(SIGPIPE, SIG_IGN);
  return true;
}

bool OutputFile::finish() {
  if (file_ == nullptr) return fail("not open");
  // The last bytes go out here.
  if (std::fclose(std::exchange(file_, nullptr)) != 0) return fail(std::strerror(errno));
  if (!partial_.empty() && std::rename(partial_.c_str(), target_.c_str()) != 0) {
    return fail(std::strerror(errno));
  }
  partial_.clear();
  return true;
}

void OutputFile::abandon() {
  if (file_ != nullptr) std::fclose(std::exchange(file_, nullptr));
  if (!partial_.empty()) std::remove(partial_.c_str());
  partial_.clear();
}

}  // namespace capture
