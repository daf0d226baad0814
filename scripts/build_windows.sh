#!/usr/bin/env bash
# Builds the show for Windows with MinGW-w64: build/win32 for i686 (the default, the show's native
# home) or build/win64 for x86_64. Leaves there show.exe, data/ with the six data files,
# tests/*.exe and, for i686, show-windows.zip. The i686 show.exe is then checked to be a program
# for a Pentium MMX under Windows 98 (tests/windows/check_show_exe.sh); the build fails if not.
#
# The data files are made by the generator built for this machine (build/release): it must run
# here, and an x87 build of it would round differently.
set -euo pipefail
cd "$(dirname "$0")/.."

arch=${1:-i686}
case "$arch" in
  i686) build=build/win32 mingw_package=g++-mingw-w64-i686 ;;
  x86_64) build=build/win64 mingw_package=g++-mingw-w64-x86-64 ;;
  *)
    echo "usage: scripts/build_windows.sh [i686|x86_64]" >&2
    exit 2
    ;;
esac

# The native build's packages too: build/release is configured as run.sh and test.sh do.
scripts/ensure_packages.sh "$mingw_package" build-essential cmake libgtest-dev libgmock-dev \
  libbenchmark-dev libpng-dev

jobs=$(nproc)
generator=$PWD/build/release/tools/generate_assets/generate-assets
if [ ! -f build/release/CMakeCache.txt ]; then
  cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
# Nothing to do when it is current; otherwise the data files follow the generator's source.
cmake --build build/release --target generate-assets -j"$jobs" >/dev/null

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$arch.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DSHOW_HOST_GENERATE_ASSETS="$generator" >/dev/null
cmake --build "$build" -j"$jobs"
if [ "$arch" = i686 ]; then
  cmake --build "$build" --target package_zip
  tests/windows/check_show_exe_test.sh
  tests/windows/check_show_exe.sh "$build/show.exe"
fi

echo "Built $build/show.exe; its data files are in $build/data, its tests in $build/tests."
if [ "$arch" = i686 ]; then
  echo "Package: $build/show-windows.zip"
fi
