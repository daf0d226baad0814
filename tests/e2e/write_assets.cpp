// Writes the show's five asset files, with the test contents, into the directory given.
#include <cstdio>

#include "tests/show/test_assets.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
    return 2;
  }
  test_assets::write_assets(argv[1]);
  return 0;
}
