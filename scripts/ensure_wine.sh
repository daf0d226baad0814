#!/usr/bin/env bash
# Makes sure what the Windows build's tests under Wine need is installed: 64-bit Wine, a virtual X
# server and its tools, OpenGL (Wine's DirectDraw draws through it: the GL loader, its GLX vendor
# library and Mesa's drivers) and the resource tools. 32-bit Wine, with the same OpenGL set for
# i386, is added only where this kernel runs 32-bit x86 programs and i386 packages can be had.
# Where the kernel refuses them, scripts/ensure_wine_wow64.sh makes a Debian 13 root whose Wine 10
# runs them inside 64-bit processes. One line starting "32-bit Wine:" says which, or why neither.
# Exit status 77 when the 64-bit set cannot be installed, so that callers report the tests skipped.
set -uo pipefail
cd "$(dirname "$0")/.."

opengl=(libgl1 libglx-mesa0 libgl1-mesa-dri)
if ! scripts/ensure_packages.sh wine wine64 xvfb xdotool x11-apps imagemagick "${opengl[@]}" \
  icoutils; then
  echo "Wine cannot be installed here: the Windows build is not tested under Wine" >&2
  exit 77
fi

# A 32-bit x86 program that only exits 0, built from four instructions; some kernels are built
# without 32-bit support and refuse it ("Exec format error").
runs_32_bit() {
  local dir status=1
  dir=$(mktemp -d "${TMPDIR:-/tmp}/ia32.XXXXXX")
  printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' |
    as --32 -o "$dir/exit.o" - 2>/dev/null &&
    ld -m elf_i386 -o "$dir/exit" "$dir/exit.o" 2>/dev/null &&
    "$dir/exit" 2>/dev/null && status=0
  rm -rf "$dir"
  return $status
}

# Without the i386 GL loader, 32-bit Wine finds no libGL.so.1 and its DirectDraw can make no
# flipping chain.
wine32=(wine32:i386 "${opengl[@]/%/:i386}")
all_installed() {
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      return 1
  done
}

# Asked first: 32-bit Wine does not run under qemu's user-mode emulation either.
if ! runs_32_bit; then
  echo "this kernel cannot run 32-bit x86 programs: 32-bit Wine through WoW64" >&2
  scripts/ensure_wine_wow64.sh
elif all_installed "${wine32[@]}"; then
  echo "32-bit Wine: installed"
elif [[ $(id -u) -ne 0 ]]; then
  echo "32-bit Wine: missing. Install it with:"
  echo "  sudo dpkg --add-architecture i386 && sudo apt-get update &&"
  echo "  sudo apt-get install -y ${wine32[*]}"
elif ! { dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386; } ||
  ! DEBIAN_FRONTEND=noninteractive apt-get update -qq ||
  ! DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${wine32[@]}" >/dev/null; then
  echo "32-bit Wine: not installed, because its i386 packages could not be installed"
else
  echo "32-bit Wine: installed"
fi
exit 0
