// Runs a program in a directory and collects its exit status and what it wrote to standard error.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct RunResult {
  int exit_status = -1;  // -1 when it did not exit normally
  std::string error_output;
};

// Standard output and standard error go to files (or, with `terminal`, standard error goes to a
// pseudo-terminal, as when run by hand).
RunResult run_program(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& directory, bool terminal = false);
