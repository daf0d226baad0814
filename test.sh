#!/usr/bin/env bash
# Builds everything and runs every test, stage by stage: an optimised build with all tests (the
# show's window under a virtual X server and its videos included), that build installed and
# packaged, the web build in headless Chromium, the unit tests and whole offline shows under the
# address and undefined-behaviour sanitizers, the pixel converters as a 32-bit x86 program, the
# Windows builds and their tests under Wine, a minute of fuzzing the XM player, and a formatting
# check. Every stage runs even when an earlier one failed; the summary at the end gives each
# stage's outcome and time, and the exit status is non-zero when any failed.
set -uo pipefail
cd "$(dirname "$0")"

scripts/ensure_packages.sh build-essential cmake libgtest-dev libgmock-dev libbenchmark-dev \
  libsdl2-dev libpng-dev clang-format g++-multilib \
  xvfb xdotool x11-apps x11-utils imagemagick openbox iproute2 \
  openmpt123 xmp libxmp-dev clang libclang-rt-14-dev \
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 icoutils zip ffmpeg || exit 1
# Wine comes through scripts/ensure_wine.sh, so that a machine without it skips only its stage.

jobs=$(nproc)
summary=()
failures=0

stage() {
  local name=$1 started=$SECONDS outcome=passed
  shift
  echo "== $name"
  "$@"
  case $? in
    0) ;;
    77) outcome=skipped ;;
    *) outcome=FAILED && failures=$((failures + 1)) ;;
  esac
  summary+=("$(printf '%-8s %5d s  %s' "$outcome" $((SECONDS - started)) "$name")")
}

optimised() {
  cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null &&
    cmake --build build/release -j"$jobs" &&
    ctest --test-dir build/release --output-on-failure -j"$jobs"
}

# lintian's findings on a package, without its note on running as root; fails on an error.
lint_package() {
  local found status=0
  found=$(lintian --fail-on error "$1" 2>&1) || status=1
  grep -v 'running with root privileges' <<<"$found" || true
  return $status
}

# The optimised build installed into a temporary prefix: the installed show from a directory with
# no data files, the installed show-capture's frame against the build's, the desktop entry and
# AppStream metadata validated, and the .deb and .tar.gz built, the .deb listed and without an
# error lintian knows.
installed() {
  local work status=0
  work=$(mktemp -d "${TMPDIR:-/tmp}/show-install.XXXXXX")
  scripts/ensure_packages.sh appstream desktop-file-utils dpkg-dev lintian || return 1
  cmake --install build/release --prefix "$work/prefix" >/dev/null &&
    "$work/prefix/bin/show" --version && "$work/prefix/bin/show-capture" --version &&
    "$work/prefix/bin/xmplay" --version &&
    tests/e2e/show_e2e.sh installed build/release/tests/e2e "$work/prefix/bin/show" &&
    (cd "$work/prefix/share/show" && "$work/prefix/bin/show-capture" --out "$work/installed" \
      --frames 1000 >/dev/null) &&
    (cd build/release/data && ../tools/show_capture/show-capture --out "$work/built" \
      --frames 1000 >/dev/null) &&
    diff -r "$work/installed" "$work/built" &&
    echo "the installed show-capture's frame is the build's" &&
    appstreamcli validate --no-net "$work"/prefix/share/metainfo/*.metainfo.xml &&
    desktop-file-validate "$work"/prefix/share/applications/*.desktop &&
    (cd build/release && cpack >/dev/null) &&
    dpkg-deb --info build/release/packages/quillmar_*.deb &&
    dpkg-deb --contents build/release/packages/quillmar_*.deb &&
    lint_package build/release/packages/quillmar_*.deb || status=1
  rm -rf "$work"
  return $status
}

# The tests that capture whole videos are left to the optimised stage: their time is ffmpeg's, and
# the video code's threads and errors, and the outputs' files, run here through the shorter tests.
sanitized() {
  cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DSHOW_SANITIZE=ON \
    -DSHOW_BUILD_BENCHMARKS=OFF >/dev/null &&
    cmake --build build/sanitize -j"$jobs" &&
    ctest --test-dir build/sanitize --output-on-failure -j"$jobs" \
      -E 'CaptureMedia\.(ALosslessVideo|AnH264Video|AnOutputThatIsNoRegularFile)'
}

# Built everywhere; run natively where the kernel runs 32-bit x86 programs, and elsewhere (some
# kernels refuse them: "Exec format error") under qemu's emulation of a 32-bit x86 processor.
converters_32_bit() {
  local emulator=""
  cmake -S tests/converters/m32 -B build/m32 -DCMAKE_BUILD_TYPE=Release >/dev/null &&
    cmake --build build/m32 -j"$jobs" || return 1
  build/m32/converters/converter_tests --gtest_list_tests >/dev/null 2>&1
  if [ $? -eq 126 ]; then
    scripts/ensure_packages.sh qemu-user-static || return 77
    emulator=/usr/bin/qemu-i386-static
    echo "this kernel runs no 32-bit x86 programs: the tests run under $emulator"
  fi
  cmake -S tests/converters/m32 -B build/m32 -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" \
    >/dev/null &&
    cmake --build build/m32 -j"$jobs" &&
    ctest --test-dir build/m32 --output-on-failure -j"$jobs"
}

# Both Windows builds; under Wine the 64-bit one, and the 32-bit one where this kernel runs 32-bit
# programs. Skipped only when Wine cannot be installed.
windows_under_wine() {
  local status=0 wine_setup
  scripts/build_windows.sh x86_64 && scripts/build_windows.sh i686 || return 1
  wine_setup=$(scripts/ensure_wine.sh)
  case $? in
    0) ;;
    77) return 77 ;;
    *) return 1 ;;
  esac
  tests/e2e/wine_e2e.sh build/win64 build/release/tests/e2e || status=1
  # 32-bit Wine where this kernel runs 32-bit programs, WoW64 Wine in a root of its own elsewhere:
  # wine_e2e.sh takes whichever is there.
  case $(grep '^32-bit Wine:' <<<"$wine_setup") in
    '32-bit Wine: installed' | '32-bit Wine: WoW64'*)
      tests/e2e/wine_e2e.sh build/win32 build/release/tests/e2e || status=1
      ;;
    *) echo "skipped: the 32-bit show.exe and its tests under Wine ($wine_setup)" ;;
  esac
  return $status
}

# The web build with emscripten, run in headless Chromium; skipped only where emscripten or
# Chromium cannot be installed (the stage's scripts install them).
web_in_chromium() {
  scripts/build_web.sh || return $?
  tests/e2e/web_e2e.sh build/web build/release/tests/e2e
}

# Bounded: a minute of libFuzzer on the XM loader and player, address and undefined sanitizers on.
fuzzing() {
  tests/xm/fuzz/run_fuzz.sh 60
}

formatting() {
  git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror && echo "formatting clean"
}

stage "optimised build, all tests" optimised
stage "installed into a temporary prefix, and packaged" installed
stage "web build in headless Chromium" web_in_chromium
stage "sanitizer build (address, undefined), unit tests and offline shows" sanitized
stage "32-bit x86 build of the converters (MMX; under qemu where the kernel runs no 32-bit code)" converters_32_bit
stage "Windows build under Wine" windows_under_wine
stage "XM loader and player fuzzed for 60 s (libFuzzer, address, undefined)" fuzzing
stage "formatting" formatting

echo "== summary"
printf '%s\n' "${summary[@]}"
echo "all stages: $SECONDS s"
if ((failures > 0)); then
  echo "$failures stage(s) failed"
  exit 1
fi
