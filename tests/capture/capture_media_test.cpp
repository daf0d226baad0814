// The real show-capture's sound track and video: the track against the player's own render of the
// song, the video's frames against the timeline model as the chosen screen shows it, what stops a
// video with its status, and every output of it and of xmplay to a device, a pipe and standard
// output.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "tests/music/test_song.h"
#include "tests/show/test_assets.h"
#include "tests/show/timeline_model.h"
#include "tests/support/layout_oracle.h"
#include "xm/load.h"
#include "xm/player.h"

namespace {

namespace fs = std::filesystem;
using emulated::Layout;
constexpr std::size_t presented = 5202, sound_per_frame = 735, track = presented * sound_per_frame;

// One frame from the middle of each stretch the screen holds one picture, and the last frame.
std::vector<std::uint32_t> one_frame_a_scene() {
  const std::vector<std::uint32_t> counters = timeline_model::presented_counters();
  std::vector<std::uint32_t> frames;
  std::uint32_t start = 0;
  for (std::uint32_t f = 1; f <= counters.size(); ++f) {
    if (f == counters.size() ||
        timeline_model::shown_at(counters[f]) != timeline_model::shown_at(counters[start])) {
      frames.push_back((start + f - 1) / 2);
      start = f;
    }
  }
  frames.push_back(static_cast<std::uint32_t>(counters.size() - 1));
  return frames;
}
const std::vector<std::uint32_t> chosen = one_frame_a_scene();

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Runs a command with the shell: its exit status and what it wrote to its standard output.
std::pair<int, std::string> run(const std::string& command) {
  std::FILE* pipe = popen(command.c_str(), "r");
  std::string output;
  char buffer[65536];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;) {
    output.append(buffer, got);
  }
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}
// The same with its standard error too.
std::pair<int, std::string> shell(const std::string& command) { return run(command + " 2>&1"); }

std::pair<int, std::string> capture(const std::string& arguments) {
  return shell(std::string(SHOW_CAPTURE_EXECUTABLE) + " " + arguments);
}

// A song as the music calls play it, rendered by the player on its own for the whole show.
std::vector<std::int16_t> song_render(const std::string& file) {
  xm::LoadResult loaded = xm::load(std::vector<std::uint8_t>(file.begin(), file.end()));
  EXPECT_TRUE(loaded.ok());
  xm::Player player(loaded.module, {.rate = 44100, .loop = true});
  std::vector<std::int16_t> samples(track * 2);
  EXPECT_EQ(player.render(samples.data(), track), track);
  return samples;
}

// Little-endian 16-bit samples as bytes.
std::string as_bytes(const std::vector<std::int16_t>& samples) {
  std::string bytes;
  for (std::int16_t s : samples) bytes.append({static_cast<char>(s), static_cast<char>(s >> 8)});
  return bytes;
}

// The chosen frames of a video decoded as 8-bit RGB, one after another.
std::string decoded_frames(const std::string& video) {
  std::string select = "select='";
  for (std::uint32_t f : chosen) select.append("eq(n\\," + std::to_string(f) + ")+");
  select.back() = '\'';
  return shell("ffmpeg -v error -i " + video + " -vf \"" + select +
               "\" -vsync 0 -f rawvideo -pix_fmt rgb24 - 2>/dev/null")
      .second;
}

// The timeline model's frame f as the layout shows it, scaled n times, as 8-bit RGB.
std::string model_frame(std::uint32_t f, Layout layout, int n) {
  const std::vector<std::uint32_t>& image =
      timeline_model::image(timeline_model::shown_at(timeline_model::presented_counters().at(f)));
  std::string rgb;
  for (int y = 0; y < 400 * n; ++y) {
    for (int x = 0; x < 640 * n; ++x) {
      const std::uint32_t p = layout_oracle::shown(image, layout, n, x, y);
      rgb.append({static_cast<char>(p >> 16), static_cast<char>(p >> 8), static_cast<char>(p)});
    }
  }
  return rgb;
}

class CaptureMedia : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_.write_all_assets();
    fs::copy_file(SHOW_THEME_XM, "theme2.xm");
  }
  test_assets::WorkingDirectory directory_;
};

TEST_F(CaptureMedia, TheSoundTrackIsTheSongAsThePlayerRendersItForEveryFrame) {
  ASSERT_EQ(capture("--wav song.wav"), std::pair(0, std::string()));
  const std::string wav = read_file("song.wav");
  ASSERT_EQ(wav.size(), 44 + track * 4);
  const std::uint8_t format[] = {1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0};
  EXPECT_EQ(std::memcmp(&wav[20], format, sizeof(format)), 0);
  EXPECT_TRUE(wav.substr(44) == as_bytes(song_render(read_file(SHOW_THEME_XM))));
}

// A song of a few rows that goes round hundreds of times in the show.
TEST_F(CaptureMedia, ALosslessVideoIsEveryFrameAsTheScreenShowsItWithTheSong) {
  fs::remove("theme2.xm");
  test_assets::write_file("theme2.xm", test_song());
  ASSERT_EQ(capture("--video a.mkv --lossless --format bgr565"), std::pair(0, std::string()));
  EXPECT_EQ(shell("ffprobe -v error -select_streams v -count_packets -show_entries "
                  "stream=nb_read_packets,r_frame_rate -of csv=p=0 a.mkv"),
            std::pair(0, std::string("60/1,5202\n")));
  const auto [status, sound] = shell("ffmpeg -v error -i a.mkv -map 0:a -f s16le - 2>/dev/null");
  EXPECT_NEAR(static_cast<double>(sound.size()), track * 4.0, sound_per_frame * 4.0);
  EXPECT_TRUE(sound == as_bytes(song_render(read_file("theme2.xm"))));

  const std::string frames = decoded_frames("a.mkv");
  ASSERT_EQ(frames.size(), chosen.size() * 640 * 400 * 3);
  for (std::size_t i = 0; i < chosen.size(); ++i) {
    EXPECT_TRUE(frames.substr(i * 640 * 400 * 3, 640 * 400 * 3) ==
                model_frame(chosen[i], Layout::bgr565, 1))
        << "frame " << chosen[i];
  }
}

// H.264 is not exact: each chosen frame, enlarged twice, is close to the model by its PSNR (40 dB
// and more measured; at the show's own size its colour, kept for every 2x2 pixels, smears the
// one-pixel raster bars down to 20 dB).
TEST_F(CaptureMedia, AnH264VideoIsCloseToTheScreenAtTwiceTheSize) {
  ASSERT_EQ(capture("--video v.mp4 --scale 2"), std::pair(0, std::string()));
  EXPECT_EQ(shell("ffprobe -v error -select_streams v -count_packets -show_entries "
                  "stream=nb_read_packets,r_frame_rate,width,height -of csv=p=0 v.mp4"),
            std::pair(0, std::string("1280,800,60/1,5202\n")));
  // AAC codes 1,024 frames at a time; the file says how many of them are the show's.
  const auto [status, duration] =
      shell("ffprobe -v error -select_streams a -show_entries stream=duration -of csv=p=0 v.mp4");
  EXPECT_NEAR(std::atof(duration.c_str()), presented / 60.0, 1.0 / 44100);
  const std::string frames = decoded_frames("v.mp4");
  const std::size_t size = 1280 * 800 * 3;
  ASSERT_EQ(frames.size(), chosen.size() * size);
  for (std::size_t i = 0; i < chosen.size(); ++i) {
    const std::string expected = model_frame(chosen[i], Layout::xrgb8888, 2);
    double squares = 0;
    for (std::size_t k = 0; k < size; ++k) {
      const double d =
          static_cast<std::uint8_t>(frames[i * size + k]) - static_cast<std::uint8_t>(expected[k]);
      squares += d * d;
    }
    const double psnr = 10 * std::log10(255.0 * 255.0 * size / std::max(squares, 1.0));
    EXPECT_GT(psnr, 35.0) << "frame " << chosen[i];
  }
}

// Each ends with 4, names what went wrong in its last line (ffmpeg may have said more before) and
// leaves no file, finished or partial. A full disk is a file size limit here, its signal ignored so
// that the write fails as it does on a full disk.
TEST_F(CaptureMedia, WhatStopsAVideoIsNamedWithItsStatus) {
  fs::create_directory("bin");
  std::ofstream("bin/ffmpeg") << "#!/bin/sh\n/usr/bin/head -c 3000000 >/dev/null\nexit 3\n";
  fs::permissions("bin/ffmpeg", fs::perms::owner_all);
  const std::string full_disk = "ulimit -f 2000; trap '' XFSZ; ";
  const std::tuple<std::string, std::string> cases[] = {
      {"PATH=/nonexistent " SHOW_CAPTURE_EXECUTABLE " --video v.mp4",
       "show-capture: cannot write v.mp4: ffmpeg was not found; install it (on Debian and Ubuntu, "
       "the package \"ffmpeg\")"},
      {"PATH=bin " SHOW_CAPTURE_EXECUTABLE " --video v.mp4",
       "show-capture: cannot write v.mp4: ffmpeg stopped before the video was complete (ffmpeg "
       "ended with status 3)"},
      {full_disk + SHOW_CAPTURE_EXECUTABLE " --video v.mkv --lossless",
       "show-capture: cannot write v.mkv: ffmpeg stopped before the video was complete (ffmpeg "
       "ended with status 1)"},
      {"PATH=bin " SHOW_CAPTURE_EXECUTABLE " --video -",
       "show-capture: cannot write -: ffmpeg stopped before the video was complete (ffmpeg ended "
       "with status 3)"},
      {full_disk + SHOW_CAPTURE_EXECUTABLE " --wav v.wav",
       "show-capture: cannot write v.wav: File too large"},
      {SHOW_CAPTURE_EXECUTABLE " --video no/v.mp4", "show-capture: cannot write no/v.mp4: No such"},
      {SHOW_CAPTURE_EXECUTABLE " --wav no/v.wav", "show-capture: cannot write no/v.wav: No such"}};
  for (const auto& [command, opening] : cases) {
    const auto [status, output] = shell("(" + command + ")");
    const std::size_t last_line = output.rfind('\n', output.size() - 2) + 1;
    EXPECT_EQ(std::pair(status, output.substr(last_line, opening.size())), std::pair(4, opening))
        << command;
  }
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(".")) left.push_back(entry.path().filename());
  EXPECT_EQ(left.size(), 7u) << "the assets and bin/ only";
}

// An output where a device, a named pipe, a link to a descriptor or a socket stands, or "-", is
// never replaced: the device (a null device of our own when root, else a link to /dev/null) takes
// the bytes, the pipe's reader, the descriptor's file and standard output's reader get what the
// same output to a file holds (the same encoded frames and sound for a video), and a socket is
// refused, named, with the program's status for an output.
TEST_F(CaptureMedia, AnOutputThatIsNoRegularFileIsWrittenAsItStandsAndNeverReplaced) {
  // A descriptor is a link to the program's standard output, which is a file.
  enum Kind { device, pipe, standard_output, socket, descriptor };
  const bool root = geteuid() == 0;
  // What stands at the target afterwards: "-" is no file.
  const mode_t types[] = {root ? mode_t{S_IFCHR} : S_IFLNK, S_IFIFO, 0, S_IFSOCK, S_IFLNK};
  struct Row {
    std::string program;  // OUT where the output is named
    std::string written;  // the file written under OUT, or OUT itself
    std::vector<Kind> kinds;
    int output_status;
    bool video = false;
  };
  const std::string capture = SHOW_CAPTURE_EXECUTABLE;
  const std::vector<Kind> all = {device, pipe, standard_output, socket, descriptor};
  std::vector<Row> rows = {
      {XMPLAY_EXECUTABLE " --wav OUT theme2.xm", "", all, 1},
      {capture + " --wav OUT", "", all, 4},
      {capture + " --out OUT --frames 3", "/frame-00003.png", {device, pipe, socket}, 4},
      {capture + " --video OUT --lossless", "", {standard_output, socket}, 4, true}};
  if (std::string(XMPLAY_EXECUTABLE).empty()) rows.erase(rows.begin());
  const auto with = [](std::string program, const std::string& out) {
    return program.replace(program.find("OUT"), 3, out);
  };
  const auto make = [&](Kind kind, const std::string& path) {
    sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
    path.copy(address.sun_path, sizeof(address.sun_path) - 1);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int made = kind == pipe     ? mkfifo(path.c_str(), 0600)
                     : kind == socket ? bind(listener, reinterpret_cast<const sockaddr*>(&address),
                                             sizeof(address))
                     : kind == device ? (root ? mknod(path.c_str(), S_IFCHR | 0600, makedev(1, 3))
                                              : symlink("/dev/null", path.c_str()))
                     : kind == descriptor ? symlink("/proc/self/fd/1", path.c_str())
                                          : 0;
    close(listener);
    return made;
  };
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const Row& row = rows[r];
    const auto digest = [&](const std::string& path) {
      return row.video
                 ? shell("ffmpeg -v error -i " + path + " -map 0 -c copy -f framemd5 -").second
                 : read_file(path);
    };
    const std::string reference = "ref" + std::to_string(r);
    ASSERT_EQ(run(with(row.program, reference)).first, 0) << row.program;
    const std::string expected = digest(reference + row.written);
    for (const Kind kind : row.kinds) {
      const std::string out =
          kind == standard_output ? "-" : std::to_string(r) + "-" + std::to_string(kind);
      const std::string target = out + row.written;
      if (!row.written.empty()) fs::create_directory(out);
      ASSERT_EQ(make(kind, target), 0) << target;
      // A reader on the pipe, and a writer held until the program ends, so that the reader ends
      // whether the program opens the pipe or not.
      const std::string command =
          kind == pipe
              ? "exec 3<>" + target + " 4<" + target + "; cat <&4 3>&- 4<&- & exec 4<&-; " +
                    with(row.program, out) + " 3>&- >&2; s=$?; exec 3>&-; wait; exit $s"
          : kind == socket ? with(row.program, out) + " 2>&1"
          : kind == descriptor
              ? with(row.program, out) + " >" + out + ".file; s=$?; cat " + out + ".file; exit $s"
              : with(row.program, out);
      const auto [status, got] = run(command);
      std::ofstream("got", std::ios::binary) << got;
      struct stat after {};
      const mode_t type = lstat(target.c_str(), &after) == 0 ? after.st_mode & S_IFMT : 0;
      const std::string name = row.program + " at " + target;
      EXPECT_EQ(std::pair(status, type),
                std::pair(kind == socket ? row.output_status : 0, types[kind]))
          << name;
      EXPECT_TRUE(kind == socket
                      ? got.find("cannot write " + target + ": it is a socket") != std::string::npos
                  : kind == device ? got.empty()
                                   : digest("got") == expected)
          << name;
    }
  }
}

}  // namespace
