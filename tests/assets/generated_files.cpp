#include "tests/assets/generated_files.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

std::string run_generator() {
  std::string folder = (std::filesystem::temp_directory_path() / "asset-test-XXXXXX").string();
  if (mkdtemp(folder.data()) == nullptr) return "";
  const std::string command = "\"" GENERATE_ASSETS_EXECUTABLE "\" \"" + folder + "\"";
  return std::system(command.c_str()) == 0 ? folder : "";
}

Bytes read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string generated_path(const std::string& name) {
  // Removed when the test program ends.
  static const struct Run {
    std::string folder = run_generator();
    ~Run() {
      std::error_code ignored;
      if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
    }
  } run;
  return run.folder + "/" + name;
}

Bytes generated(const std::string& name) { return read_file(generated_path(name)); }
