#include "tests/assets/generated_files.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

std::string run_generator() {
  std::string pattern = (std::filesystem::temp_directory_path() / "asset-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return "";
  const std::string command =
      std::string("\"") + GENERATE_ASSETS_EXECUTABLE + "\" \"" + pattern + "\"";
  if (std::system(command.c_str()) != 0) return "";
  return pattern;
}

Bytes read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

struct RunFolder {
  std::string path = run_generator();
  ~RunFolder() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
};

const RunFolder& run_folder() {
  static const RunFolder folder;
  return folder;
}

}  // namespace

std::string generated_path(const std::string& name) { return run_folder().path + "/" + name; }

const Bytes& generated(const std::string& name) {
  static std::map<std::string, Bytes> files;
  auto it = files.find(name);
  if (it == files.end()) it = files.emplace(name, read_file(generated_path(name))).first;
  return it->second;
}
