#include "tests/capture/subprocess.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

[[noreturn]] void exec_in(const std::filesystem::path& directory, const std::string& program,
                          const std::vector<std::string>& arguments, int error_fd) {
  if (::chdir(directory.c_str()) != 0) ::_exit(126);
  const int null_fd = ::open("/dev/null", O_WRONLY);
  ::dup2(null_fd, STDOUT_FILENO);
  ::dup2(error_fd, STDERR_FILENO);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  ::execv(program.c_str(), argv.data());
  ::_exit(127);
}

int wait_for(pid_t child) {
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

RunResult run_to_file(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& directory) {
  const std::filesystem::path error_file = directory / ".stderr";
  const int error_fd = ::open(error_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  RunResult result;
  const pid_t child = ::fork();
  if (child == 0) exec_in(directory, program, arguments, error_fd);
  ::close(error_fd);
  result.exit_status = wait_for(child);
  std::ifstream in(error_file);
  std::stringstream text;
  text << in.rdbuf();
  result.error_output = text.str();
  std::filesystem::remove(error_file);
  return result;
}

RunResult run_on_terminal(const std::string& program, const std::vector<std::string>& arguments,
                          const std::filesystem::path& directory) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  RunResult result;
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return result;
  const std::string terminal_name = ::ptsname(master);
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(master);
    exec_in(directory, program, arguments, ::open(terminal_name.c_str(), O_RDWR));
  }
  // Read while it runs: a full terminal would stop the program.
  char buffer[4096];
  for (;;) {
    pollfd waiting = {master, POLLIN, 0};
    if (::poll(&waiting, 1, 100) > 0) {
      const ssize_t got = ::read(master, buffer, sizeof(buffer));
      if (got <= 0) break;  // the last holder of the terminal is gone
      result.error_output.append(buffer, static_cast<std::size_t>(got));
    } else {
      siginfo_t info = {};
      if (::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
          info.si_pid == child) {
        break;
      }
    }
  }
  ::close(master);
  result.exit_status = wait_for(child);
  return result;
}

}  // namespace

RunResult run_program(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& directory, bool terminal) {
  return terminal ? run_on_terminal(program, arguments, directory)
                  : run_to_file(program, arguments, directory);
}
