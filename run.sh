#!/usr/bin/env bash
# Builds what is missing of the show, show-capture and the data files, and runs the show in a
# window on this desktop; where there is no display, makes a video of the show with its music
# instead and says where it is. With --web, builds the show for a web browser and serves it here.
set -euo pipefail
cd "$(dirname "$0")"

# ./run.sh --web: the show in a web browser, built with emscripten and served on this machine.
if [ "${1:-}" = --web ]; then
  scripts/build_web.sh
  exec scripts/serve_web.sh
fi

scripts/ensure_packages.sh build-essential cmake libgtest-dev libgmock-dev libbenchmark-dev \
  libsdl2-dev libpng-dev ffmpeg

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
# Only what is run here: the tests and benchmarks are test.sh's to build.
cmake --build build/release -j"$(nproc)" --target show show-capture show_data

# The show reads its data files from its working directory.
data=build/release/data
mkdir -p "$data"

# The show's status when it finds no display to open (platform/sdl/main.cpp).
no_display=3

make_video() {
  local video=$PWD/build/release/show.mp4
  echo "$1: making a video of the show instead."
  # Twice the size keeps H.264's colour, stored for every 2x2 pixels, on the one-pixel raster bars.
  (cd "$data" && ../tools/show_capture/show-capture --video "$video" --scale 2)
  echo "The show with its music: $video"
  echo "Play it with any video player, for example: ffplay $video"
}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  make_video "No display here (neither DISPLAY nor WAYLAND_DISPLAY is set)"
  exit 0
fi

status=0
(cd "$data" && exec ../platform/sdl/show) || status=$?
if [ "$status" -eq "$no_display" ]; then
  make_video "The display could not be opened"
  exit 0
fi
exit "$status"
