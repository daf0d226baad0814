// Writes seed modules into the folder named: the loader tests' small module in each layout, and
// generated songs whole and cut short at points drawn from their seed, so that the fuzzer starts
// from damaged files shaped as real ones are.
#include <fstream>
#include <string>
#include <vector>

#include "tests/xm/load_module.h"
#include "tools/song_generator/song_generator.h"

namespace {

constexpr std::uint32_t songs = 12;
constexpr int cuts_per_song = 4;

void write(const std::string& path, const std::vector<std::uint8_t>& bytes, std::size_t size) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(size));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string folder = argv[1];
  for (std::uint16_t version : {0x0102, 0x0103, 0x0104}) {
    const auto bytes = xmwrite::file_bytes(small_module(version));
    write(folder + "/small" + std::to_string(version) + ".xm", bytes, bytes.size());
  }
  for (std::uint32_t seed = 1; seed <= songs; ++seed) {
    const auto bytes =
        xmwrite::file_bytes(song_generator::generate_song(seed, {.max_orders = 3, .max_rows = 32}));
    const std::string name = folder + "/song" + std::to_string(seed);
    write(name + ".xm", bytes, bytes.size());
    // A small multiplicative generator: the same cuts on every machine.
    std::uint32_t draw = seed;
    for (int k = 0; k < cuts_per_song; ++k) {
      draw = draw * 1664525u + 1013904223u;
      const std::size_t cut = draw % bytes.size();
      write(name + "-cut" + std::to_string(cut) + ".xm", bytes, cut);
    }
  }
  return 0;
}
