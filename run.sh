#!/usr/bin/env bash
# Builds what is missing and runs the show in a window on this desktop.
set -euo pipefail
cd "$(dirname "$0")"

scripts/ensure_packages.sh build-essential cmake libgtest-dev libgmock-dev libbenchmark-dev \
  libsdl2-dev libpng-dev

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc)"

# The show reads its data files from its working directory.
data=build/release/data
mkdir -p "$data"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the show cannot open."
  echo "Single frames can be captured without one:"
  echo "  (cd $data && ../tools/show_capture/show-capture --out ../frames --frames 0,200,1000)"
  exit 1
fi

cd "$data"
exec ../platform/sdl/show
