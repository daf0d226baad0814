#!/usr/bin/env bash
# Builds everything and runs every test: an optimised build, then the same tests under the address
# and undefined-behaviour sanitizers, then a formatting check.
set -euo pipefail
cd "$(dirname "$0")"

scripts/ensure_packages.sh build-essential cmake libgtest-dev libgmock-dev libbenchmark-dev \
  libsdl2-dev libpng-dev clang-format g++-multilib \
  xvfb xdotool x11-apps x11-utils imagemagick openbox iproute2 openmpt123 xmp

jobs=$(nproc)

echo "== optimised build"
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$jobs"
ctest --test-dir build/release --output-on-failure -j"$jobs"

echo "== sanitizer build (address, undefined)"
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DSHOW_SANITIZE=ON \
  -DSHOW_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build/sanitize -j"$jobs"
ctest --test-dir build/sanitize --output-on-failure -j"$jobs"

echo "== 32-bit x86 build of the converters (real MMX registers)"
cmake -S tests/converters/m32 -B build/m32 -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/m32 -j"$jobs"
ctest --test-dir build/m32 --output-on-failure -j"$jobs"

echo "== formatting"
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "formatting clean"
