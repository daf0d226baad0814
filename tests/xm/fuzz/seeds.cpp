// Writes seed modules for the fuzzer into the folder named: one small song in each layout.
#include <fstream>
#include <string>

#include "tools/xm_writer/xm_module.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  xmwrite::Module m{
      .name = "seed", .channels = 4, .restart = 1, .speed = 4, .bpm = 140, .orders = {0, 1, 0}};
  for (int k = 0; k < 2; ++k) {
    xmwrite::Pattern p(k == 0 ? 16 : 8, 4);
    for (int row = 0; row < p.rows; row += 2) {
      p.at(row, row % 4) = {static_cast<std::uint8_t>(40 + row), static_cast<std::uint8_t>(1 + k),
                            0x30, static_cast<std::uint8_t>(row % 16), 0x21};
    }
    p.at(p.rows - 1, 0).note = xmwrite::key_off;
    m.patterns.push_back(p);
  }
  for (int k = 0; k < 2; ++k) {
    xmwrite::Instrument in{.name = "wave", .vibrato_depth = 4, .vibrato_rate = 9, .fadeout = 600};
    in.samples = {{.frames = {}, .sixteen_bit = k == 0, .loop = xmwrite::Loop::forward},
                  {.frames = {}, .sixteen_bit = k == 1, .loop = xmwrite::Loop::ping_pong}};
    for (xmwrite::Sample& s : in.samples) {
      for (int i = 0; i < 64; ++i)
        s.frames.push_back(static_cast<std::int16_t>((i * 37 % 64 - 32) * 3));
      s.loop_start = 16;
      s.loop_length = 40;
    }
    for (int n = 48; n < 96; ++n) in.keymap[static_cast<std::size_t>(n)] = 1;
    in.volume_envelope = {{{0, 64}, {8, 32}, {20, 48}}, 1, 0, 2};
    in.panning_envelope = {{{0, 0}, {16, 64}}, -1, -1, -1};
    m.instruments.push_back(in);
  }
  for (std::uint16_t version : {0x0102, 0x0103, 0x0104}) {
    m.version = version;
    const auto bytes = xmwrite::file_bytes(m);
    std::ofstream(std::string(argv[1]) + "/seed" + std::to_string(version) + ".xm",
                  std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  return 0;
}
