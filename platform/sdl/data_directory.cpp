#include "platform/sdl/data_directory.h"

#include <array>
#include <filesystem>
#include <system_error>

namespace sdl_platform {
namespace {

constexpr std::array<const char*, 6> data_files = {
    "drumvelk.raw", "presents.raw", "quillmar.raw", "zadadodovoze.raw", "balls.raw", "theme2.xm"};

bool holds_data(const std::filesystem::path& directory) {
  std::error_code error;
  for (const char* name : data_files) {
    if (std::filesystem::is_regular_file(directory / name, error)) return true;
  }
  return false;
}

}  // namespace

void enter_data_directory(const char* installed) {
  if (holds_data(".")) return;
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return;
  const std::filesystem::path directory = executable.parent_path() / installed;
  if (holds_data(directory)) std::filesystem::current_path(directory, error);
}

}  // namespace sdl_platform
