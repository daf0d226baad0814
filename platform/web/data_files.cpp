// The show's six data files made in the browser by the generator that makes them at build time
// (tools/generate_assets), byte for byte the same (its arithmetic is the same on every machine):
// a page that makes its 4.5 MB of pictures, font and music downloads this small module instead.
// Built as a WebAssembly module of its own with no JavaScript around it; data_worker.js runs it
// off the page's thread.
//
// data_file_make(i) makes file i (0 <= i < data_file_count()) and returns where its bytes are,
// data_file_size() of them, valid until the next call; null for a file that does not exist.
#include <emscripten.h>

#include <cstdint>
#include <vector>

#include "tools/generate_assets/canvas.h"
#include "tools/generate_assets/pictures.h"
#include "tools/generate_assets/theme_song.h"

namespace {

template <void (*paint)(Canvas&)>
std::vector<std::uint8_t> picture() {
  Canvas canvas;
  paint(canvas);
  return canvas.raw_bytes();
}

struct DataFile {
  const char* name;  // as the show opens it
  std::vector<std::uint8_t> (*make)();
};

// In an order that two workers taking every other file share about evenly.
constexpr DataFile data_files[] = {
    {"theme2.xm", theme_song_bytes},        {"drumvelk.raw", picture<paint_logo>},
    {"quillmar.raw", picture<paint_title>}, {"presents.raw", picture<paint_presents>},
    {"zadadodovoze.raw", font_atlas_bytes}, {"balls.raw", picture<paint_balls>},
};
constexpr int file_count = static_cast<int>(std::size(data_files));

std::vector<std::uint8_t> made;

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int data_file_count() { return file_count; }

EMSCRIPTEN_KEEPALIVE const char* data_file_name(int index) {
  return index >= 0 && index < file_count ? data_files[index].name : nullptr;
}

EMSCRIPTEN_KEEPALIVE const std::uint8_t* data_file_make(int index) {
  if (index < 0 || index >= file_count) return nullptr;
  made = data_files[index].make();
  return made.data();
}

EMSCRIPTEN_KEEPALIVE std::uint32_t data_file_size() {
  return static_cast<std::uint32_t>(made.size());
}

}  // extern "C"
