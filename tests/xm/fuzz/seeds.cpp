// Writes the loader tests' small module in each layout into the folder named, as fuzzing seeds.
#include <fstream>
#include <string>

#include "tests/xm/load_module.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  for (std::uint16_t version : {0x0102, 0x0103, 0x0104}) {
    const auto bytes = xmwrite::file_bytes(small_module(version));
    std::ofstream(std::string(argv[1]) + "/small" + std::to_string(version) + ".xm",
                  std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  return 0;
}
