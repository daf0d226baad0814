// generate-assets OUTDIR [--previews DIR]: writes the show's six data files into OUTDIR, the same
// bytes on every run, and PNG previews of the pictures and the font into DIR when asked.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tools/generate_assets/pictures.h"
#include "tools/generate_assets/png_preview.h"
#include "tools/generate_assets/theme_song.h"

namespace {

bool write_file(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "generate-assets: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

struct Output {
  const char* name;
  int width, height, preview_scale;
  std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> picture(void (*paint)(Canvas&)) {
  Canvas c;
  paint(c);
  return c.raw_bytes();
}

}  // namespace

int main(int argc, char** argv) {
  std::string out_dir;
  std::string preview_dir;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--previews" && i + 1 < argc) {
      preview_dir = argv[++i];
    } else if (out_dir.empty() && arg.rfind("--", 0) != 0) {
      out_dir = arg;
    } else {
      out_dir.clear();
      break;
    }
  }
  if (out_dir.empty()) {
    std::fprintf(stderr, "usage: generate-assets OUTDIR [--previews DIR]\n");
    return 2;
  }
  Output outputs[] = {
      {"drumvelk", Canvas::width, Canvas::height, 1, picture(paint_logo)},
      {"presents", Canvas::width, Canvas::height, 1, picture(paint_presents)},
      {"quillmar", Canvas::width, Canvas::height, 1, picture(paint_title)},
      {"zadadodovoze", 728, 16, 2, font_atlas_bytes()},
      {"balls", Canvas::width, Canvas::height, 1, picture(paint_balls)},
  };
  if (!write_file(out_dir + "/theme2.xm", theme_song_bytes())) return 1;
  for (const Output& o : outputs) {
    if (!write_file(out_dir + "/" + o.name + ".raw", o.bytes)) return 1;
    if (preview_dir.empty()) continue;
    std::string error;
    if (!write_png_preview(preview_dir + "/" + o.name + ".png", o.bytes, o.width, o.height,
                           o.preview_scale, error)) {
      std::fprintf(stderr, "generate-assets: %s\n", error.c_str());
      return 1;
    }
  }
  return 0;
}
