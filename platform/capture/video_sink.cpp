#include "platform/capture/video_sink.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/audio/wav_header.h"

extern char** environ;

namespace capture {
namespace {

// How far one input may run ahead of the other while ffmpeg reads the other: about 4 s of sound,
// 16 pictures, and a pipe of 1 MB each (the most a user may ask for by default).
constexpr std::size_t sound_slots = 256;
constexpr std::size_t picture_slots = 16;
constexpr int pipe_bytes = 1 << 20;
// Descriptors handed to ffmpeg are first moved above these, so that placing them at 0 and 3 never
// lands one on another.
constexpr int first_free_descriptor = 10;

// `stream`: ffmpeg writes to its standard output, which need not seek.
std::vector<std::string> encoder_arguments(const VideoSettings& settings, bool stream,
                                           const std::string& partial) {
  std::string size = std::to_string(settings.width);
  size.append("x");
  size.append(std::to_string(settings.height));
  std::vector<std::string> arguments = {"ffmpeg",
                                        "-nostdin",
                                        "-hide_banner",
                                        "-probesize",
                                        "32",
                                        "-analyzeduration",
                                        "1",
                                        "-loglevel",
                                        "error",
                                        "-f",
                                        "rawvideo",
                                        "-pix_fmt",
                                        "rgb24",
                                        "-video_size",
                                        size,
                                        "-framerate",
                                        std::to_string(pictures_per_second),
                                        "-i",
                                        "pipe:0",
                                        "-probesize",
                                        "32",
                                        "-analyzeduration",
                                        "1",
                                        "-f",
                                        "s16le",
                                        "-ar",
                                        std::to_string(sound_rate),
                                        "-ac",
                                        "2",
                                        "-i",
                                        "pipe:3",
                                        "-map",
                                        "0:v",
                                        "-map",
                                        "1:a"};
  if (settings.scale > 1) {
    const std::string n = std::to_string(settings.scale);
    std::string filter = "scale=iw*";
    filter.append(n);
    filter.append(":ih*");
    filter.append(n);
    filter.append(":flags=neighbor");
    arguments.insert(arguments.end(), {"-vf", filter});
  }
  if (settings.lossless) {
    // FFV1 version 3 in slices encodes on every core; its bytes do not depend on how many.
    arguments.insert(arguments.end(), {"-c:v", "ffv1", "-level", "3", "-slices", "4", "-slicecrc",
                                       "0", "-c:a", "pcm_s16le"});
  } else {
    arguments.insert(arguments.end(), {"-c:v", "libx264", "-preset", "veryfast", "-crf", "18",
                                       "-pix_fmt", "yuv420p", "-c:a", "aac", "-b:a", "192k"});
  }
  // MP4 puts its index in front once the rest is written, which takes seeking back; Matroska
  // streams.
  if (stream || settings.lossless) {
    arguments.insert(arguments.end(), {"-f", "matroska"});
  } else {
    arguments.insert(arguments.end(), {"-movflags", "+faststart", "-f", "mp4"});
  }
  // No dates, versions or random identifiers: the same show makes the same file.
  arguments.insert(arguments.end(), {"-fflags", "+bitexact", "-flags:v", "+bitexact", "-flags:a",
                                     "+bitexact", "-y", stream ? "pipe:1" : partial});
  return arguments;
}

// A pipe whose ends are above first_free_descriptor and closed in children; false on failure.
bool make_pipe(int& read_end, int& write_end) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return false;
  read_end = fcntl(ends[0], F_DUPFD_CLOEXEC, first_free_descriptor);
  write_end = fcntl(ends[1], F_DUPFD_CLOEXEC, first_free_descriptor);
  ::close(ends[0]);
  ::close(ends[1]);
  return read_end >= 0 && write_end >= 0;
}

void close_descriptor(int& descriptor) {
  if (descriptor >= 0) ::close(descriptor);
  descriptor = -1;
}

}  // namespace

VideoSink::~VideoSink() { abandon(); }

bool VideoSink::fail(const std::string& reason) {
  error_ = "cannot write ";
  error_.append(settings_.target.string());
  error_.append(": ");
  error_.append(reason);
  abandon();
  return false;
}

bool VideoSink::open(const VideoSettings& settings) {
  settings_ = settings;
  // A pipe whose reader has gone gives EPIPE on write, reported, instead of ending us.
  ::signal(SIGPIPE, SIG_IGN);
  if (!output_.open(settings.target)) return fail(output_.error());
  const bool stream = output_.direct();

  int picture_reader = -1, picture_writer = -1, sound_reader = -1, sound_writer = -1;
  if (!make_pipe(picture_reader, picture_writer) || !make_pipe(sound_reader, sound_writer)) {
    for (int* end : {&picture_reader, &picture_writer, &sound_reader, &sound_writer}) {
      close_descriptor(*end);
    }
    return fail(std::strerror(errno));
  }
  // Smaller pipes work too: the rings take up the difference.
  fcntl(picture_writer, F_SETPIPE_SZ, pipe_bytes);
  fcntl(sound_writer, F_SETPIPE_SZ, pipe_bytes);

  std::vector<std::string> arguments = encoder_arguments(settings, stream, output_.partial());
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The output first: its descriptor may be 0 or 3.
  if (stream) posix_spawn_file_actions_adddup2(&actions, fileno(output_.file()), 1);
  posix_spawn_file_actions_adddup2(&actions, picture_reader, 0);
  posix_spawn_file_actions_adddup2(&actions, sound_reader, 3);
  const int spawned = posix_spawnp(&encoder_, "ffmpeg", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close_descriptor(picture_reader);
  close_descriptor(sound_reader);
  if (spawned != 0) {
    encoder_ = -1;
    close_descriptor(picture_writer);
    close_descriptor(sound_writer);
    if (spawned == ENOENT) {
      return fail(
          "ffmpeg was not found; install it (on Debian and Ubuntu, the package \"ffmpeg\")");
    }
    std::string message = "cannot start ffmpeg: ";
    message.append(std::strerror(spawned));
    return fail(message);
  }
  pictures_.start(
      picture_writer,
      static_cast<std::size_t>(settings.width) * static_cast<std::size_t>(settings.height) * 3,
      picture_slots);
  sounds_.start(sound_writer, bytes_.size(), sound_slots);
  return true;
}

bool VideoSink::encoder_stopped(const PipeFeeder& feeder) {
  const int reason = feeder.error_number();
  std::string message = "ffmpeg stopped before the video was complete (";
  if (reason == EPIPE) {
    if (wait_for_encoder()) error_ = "it ended without reading everything";
    message.append(error_);
  } else {
    message.append(std::strerror(reason));
  }
  message.append(")");
  return fail(message);
}

bool VideoSink::picture(const std::uint8_t* rgb, int width, int height) {
  if (encoder_ < 0) return fail("ffmpeg is not running");
  if (width != settings_.width || height != settings_.height) {
    return fail("a frame is " + std::to_string(width) + "x" + std::to_string(height) +
                ", not the video's size");
  }
  const auto bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
  return pictures_.push(rgb, bytes) || encoder_stopped(pictures_);
}

bool VideoSink::sound(const std::int16_t* samples, std::size_t frames) {
  if (encoder_ < 0) return fail("ffmpeg is not running");
  for (std::size_t done = 0; done < frames;) {
    const std::size_t count = std::min(frames - done, bytes_.size() / 4);
    audio::wav_samples(samples + done * 2, count * 2, bytes_.data());
    if (!sounds_.push(bytes_.data(), count * 4)) return encoder_stopped(sounds_);
    done += count;
  }
  return true;
}

bool VideoSink::wait_for_encoder() {
  int status = 0;
  pid_t waited;
  do {
    waited = waitpid(encoder_, &status, 0);
  } while (waited < 0 && errno == EINTR);
  encoder_ = -1;
  if (waited < 0) {
    error_ = std::strerror(errno);
    return false;
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
  error_ = WIFEXITED(status) ? "ffmpeg ended with status " + std::to_string(WEXITSTATUS(status))
                             : "ffmpeg was ended by signal " + std::to_string(WTERMSIG(status));
  return false;
}

bool VideoSink::finish() {
  if (encoder_ < 0) return fail("ffmpeg is not running");
  // The ends of both inputs tell ffmpeg to complete the file.
  const bool pictures_written = pictures_.finish();
  const bool sounds_written = sounds_.finish();
  if (!pictures_written) return encoder_stopped(pictures_);
  if (!sounds_written) return encoder_stopped(sounds_);
  if (!wait_for_encoder()) return fail(error_);
  return output_.finish() || fail(output_.error());
}

void VideoSink::abandon() {
  // Ending ffmpeg first frees a feeder blocked in a write.
  if (encoder_ > 0) kill(encoder_, SIGKILL);
  pictures_.stop();
  sounds_.stop();
  if (encoder_ > 0) {
    std::string kept = error_;
    wait_for_encoder();
    error_ = kept;
  }
  output_.abandon();
}

}  // namespace capture
