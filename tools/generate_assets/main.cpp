// generate-assets OUTDIR [--previews DIR] [--icon FILE.ico] [--desktop-icons DIR]: writes the
// show's six data files into OUTDIR, the same bytes on every run, PNG previews of the pictures and
// the font into DIR when asked, and the program's icon into FILE.ico when asked (with previews of
// it on grey, if any).
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tools/generate_assets/icon_file.h"
#include "tools/generate_assets/icon_picture.h"
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

// The icon's previews: its pixels over mid grey, each size as icon<size>.png, eight times enlarged.
bool write_icon_previews(const std::string& dir, const std::vector<IconImage>& images) {
  constexpr int grey = 128;
  constexpr int scale = 8;
  for (const IconImage& image : images) {
    std::vector<std::uint8_t> rgbx(image.rgba.size());
    for (std::size_t i = 0; i < rgbx.size(); i += 4) {
      const int alpha = image.rgba[i + 3];
      for (std::size_t k = 0; k < 3; ++k) {
        rgbx[i + k] = static_cast<std::uint8_t>(
            (image.rgba[i + k] * alpha + grey * (255 - alpha) + 127) / 255);
      }
    }
    std::string path = dir;
    path.append("/icon").append(std::to_string(image.size)).append(".png");
    std::string error;
    if (!write_png_preview(path, rgbx, image.size, image.size, scale, error)) {
      std::fprintf(stderr, "generate-assets: %s\n", error.c_str());
      return false;
    }
  }
  return true;
}

// The icon for Linux desktops, each size as SIZExSIZE.png, as icon themes file them.
bool write_desktop_icons(const std::string& dir) {
  for (const IconImage& image : desktop_icon_images()) {
    const std::string size = std::to_string(image.size);
    std::string error;
    if (!write_png_rgba(dir + "/" + size + "x" + size + ".png", image.rgba, image.size, image.size,
                        error)) {
      std::fprintf(stderr, "generate-assets: %s\n", error.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string out_dir;
  std::string preview_dir;
  std::string icon_path;
  std::string desktop_icon_dir;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--previews" && i + 1 < argc) {
      preview_dir = argv[++i];
    } else if (arg == "--icon" && i + 1 < argc) {
      icon_path = argv[++i];
    } else if (arg == "--desktop-icons" && i + 1 < argc) {
      desktop_icon_dir = argv[++i];
    } else if (out_dir.empty() && arg.rfind("--", 0) != 0) {
      out_dir = arg;
    } else {
      out_dir.clear();
      break;
    }
  }
  if (out_dir.empty()) {
    std::fprintf(stderr,
                 "usage: generate-assets OUTDIR [--previews DIR] [--icon FILE.ico] "
                 "[--desktop-icons DIR]\n");
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
  if (!desktop_icon_dir.empty() && !write_desktop_icons(desktop_icon_dir)) return 1;
  if (icon_path.empty()) return 0;
  const std::vector<IconImage> icon = icon_images();
  if (!write_file(icon_path, ico_file_bytes(icon))) return 1;
  if (!preview_dir.empty() && !write_icon_previews(preview_dir, icon)) return 1;
  return 0;
}
