// Where an output's bytes go, decided by what stands at its path when it is opened:
// - "-" is standard output, written as it is;
// - an existing file that is not a regular one (a character device, a named pipe), or a link to one
//   or to a descriptor of ours (/dev/stdout, /dev/fd/N), is opened and written in order as it
//   stands. It is not ours: it is never renamed over or removed, even when writing fails. A socket
//   cannot be opened as a file and is refused;
// - a regular file, a link to one, or nothing at all is written under a fresh temporary name beside
//   it (".NAME.XXXXXX") and renamed into place once complete, so that a failure leaves what stood
//   there untouched, and a link standing there is replaced, never written through.
// Linux only: what names a descriptor is asked of /proc.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace capture {

class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile() { abandon(); }

  // Opens `target` as above; false with error() set to the system's reason. Opening a named pipe
  // waits for its reader. Writing to a stream whose reader has gone fails with EPIPE instead of
  // ending the process.
  bool open(const std::filesystem::path& target);
  // True when the bytes go straight to the target: nothing is renamed, and it may not seek.
  bool direct() const { return file_ != nullptr && partial_.empty(); }
  // Where to write; null when not open.
  std::FILE* file() const { return file_; }
  // The temporary file, for a child process that writes it by name; empty when direct().
  const std::string& partial() const { return partial_; }
  // Closes the file and renames the temporary one into place, readable as any new file of the
  // user's; false with error() set (and abandon()ed) when the last bytes or the rename fail.
  bool finish();
  // Closes the file and removes the temporary one; a direct target is left as it is.
  void abandon();
  const std::string& error() const { return error_; }

 private:
  bool fail(const char* reason);

  std::filesystem::path target_;
  std::string partial_;
  std::FILE* file_ = nullptr;
  std::string error_;
};

}  // namespace capture
