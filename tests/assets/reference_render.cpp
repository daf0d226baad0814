#include "tests/assets/reference_render.h"

#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "tests/assets/generated_files.h"

namespace {

std::uint32_t le32(const Bytes& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
unsigned le16(const Bytes& b, std::size_t at) { return b[at] | b[at + 1] << 8; }

Rendering parse_wav(const Bytes& b) {
  Rendering r;
  if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
      std::string(b.begin() + 8, b.begin() + 12) != "WAVE") {
    r.error = "not a RIFF WAVE file";
    return r;
  }
  bool have_format = false;
  for (std::size_t at = 12; at + 8 <= b.size();) {
    const std::string id(b.begin() + static_cast<std::ptrdiff_t>(at),
                         b.begin() + static_cast<std::ptrdiff_t>(at) + 4);
    const std::size_t size = le32(b, at + 4);
    const std::size_t body = at + 8;
    if (size > b.size() - body) {
      r.error = "chunk " + id + " runs past the end";
      return r;
    }
    if (id == "fmt " && size >= 16) {
      if (le16(b, body) != 1 || le16(b, body + 2) != 2 || le16(b, body + 14) != 16) {
        r.error = "expected 16-bit stereo PCM";
        return r;
      }
      r.rate = static_cast<int>(le32(b, body + 4));
      have_format = true;
    } else if (id == "data") {
      if (!have_format) break;
      r.frames.resize(size / 2);
      for (std::size_t i = 0; i < r.frames.size(); ++i) {
        r.frames[i] = static_cast<std::int16_t>(le16(b, body + 2 * i));
      }
      return r;
    }
    at = body + size + (size & 1);
  }
  r.error = "no format or data chunk";
  return r;
}

}  // namespace

std::string player_path(const std::string& name) {
  for (const char* dir : {"/usr/bin", "/usr/local/bin"}) {
    const std::string path = std::string(dir) + "/" + name;
    if (access(path.c_str(), X_OK) == 0) return path;
  }
  return "";
}

namespace {

// Runs a player with "%o" in its command line standing for the output file.
Rendering run_player(const std::string& name, const std::string& arguments) {
  Rendering r;
  const std::string player = player_path(name);
  if (player.empty()) {
    r.error = name + " is not installed";
    return r;
  }
  std::string dir = (std::filesystem::temp_directory_path() / "render-XXXXXX").string();
  if (mkdtemp(dir.data()) == nullptr) {
    r.error = "cannot make a temporary folder";
    return r;
  }
  const std::string wav = dir + "/out.wav";
  std::string command = "\"" + player + "\" " + arguments + " >/dev/null 2>&1";
  command.replace(command.find("%o"), 2, "\"" + wav + "\"");
  if (std::system(command.c_str()) != 0) {
    r.error = name + " failed: " + command;
  } else {
    r = parse_wav(read_file(wav));
  }
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  return r;
}

}  // namespace

Rendering render_with_openmpt(const std::string& module_path) {
  return run_player("openmpt123",
                    "--batch --quiet --samplerate 44100 --channels 2 --no-float"
                    " --ctl play.at_end=stop --force -o %o \"" +
                        module_path + "\"");
}

Rendering render_with_xmp(const std::string& module_path, const std::string& options) {
  return run_player("xmp",
                    "--norc -q -f 44100 -b 16 -a 0 " + options + " -o %o \"" + module_path + "\"");
}

double rms_db(const Rendering& r, std::size_t first, std::size_t count) {
  double sum = 0;
  std::size_t n = 0;
  for (std::size_t i = 2 * first; i < 2 * (first + count) && i < r.frames.size(); ++i, ++n) {
    sum += static_cast<double>(r.frames[i]) * r.frames[i];
  }
  if (n == 0 || sum == 0) return -200.0;
  return 10.0 * std::log10(sum / n / (32768.0 * 32768.0));
}
