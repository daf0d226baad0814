#!/usr/bin/env bash
# Builds what is missing and runs the show.
set -euo pipefail
cd "$(dirname "$0")"

scripts/ensure_packages.sh build-essential cmake libgtest-dev libgmock-dev libbenchmark-dev \
  libsdl2-dev libpng-dev

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc)"

echo "The show is built, but it has no display platform on this system yet: nothing to run."
