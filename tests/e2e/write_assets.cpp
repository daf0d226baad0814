// Writes the show's five asset files, with the test contents, into the directory given.
#include <cstdio>
#include <filesystem>

#include "tests/show/test_assets.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
    return 2;
  }
  const std::filesystem::path directory = argv[1];
  for (int k = 0; k < 4; ++k) {
    test_assets::write_file(directory / test_assets::picture_names[k],
                            test_assets::picture_file(k));
  }
  test_assets::write_file(directory / test_assets::atlas_name, test_assets::atlas_file());
  return 0;
}
