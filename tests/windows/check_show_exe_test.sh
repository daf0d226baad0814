#!/usr/bin/env bash
# Shows that check_show_exe.sh finds what it is there to find: it checks small programs built with
# MinGW, one fault each, and must fail each faulty one with the fault's line and pass the clean one.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/check_show_exe.XXXXXX")
trap 'rm -rf "$work"' EXIT

cat >"$work/program.c" <<'C'
#include <windows.h>
#ifdef LARGE
volatile const char ballast[200000] = {1};
#endif
__attribute__((noinline)) int smaller(int a, int b) { return a < b ? a : b; }
__attribute__((noinline)) double half(double x) { return x * 0.5; }
void start(void) {
  int status = smaller((int)GetTickCount(), 3) + (int)half(2.0);
#ifdef LARGE
  status += ballast[0];
#endif
#ifdef VISTA
  status += (int)GetTickCount64();
#endif
  ExitProcess((UINT)status);
}
C

# name | compiler flags | what the check must say ("" for a pass)
cases=(
  "clean|-march=pentium-mmx|"
  "p6|-march=i686|instructions a Pentium MMX does not have"
  "sse2|-march=pentium-mmx -msse2 -mfpmath=sse|instructions a Pentium MMX does not have"
  "vista|-march=pentium-mmx -DVISTA -D_WIN32_WINNT=0x0600|imports outside"
  "large|-march=pentium-mmx -DLARGE|bytes, more than 131072"
)
passed=0 failed=0
for row in "${cases[@]}"; do
  IFS='|' read -r name flags expected <<<"$row"
  exe=$work/$name.exe
  # shellcheck disable=SC2086
  if ! i686-w64-mingw32-gcc -O2 $flags -nostdlib -e _start -o "$exe" "$work/program.c" \
    -lkernel32; then
    echo "FAIL $name: not built"
    ((++failed))
    continue
  fi
  output=$("$here/check_show_exe.sh" "$exe" 2>&1)
  status=$?
  if [[ -z $expected ]] && ((status == 0)) ||
    [[ -n $expected && $status == 1 && $output == *"$expected"* ]]; then
    ((++passed))
  else
    echo "FAIL $name: exit status $status, expected ${expected:-a pass}; it said:"
    echo "$output"
    ((++failed))
  fi
done
echo "check_show_exe: $passed passed, $failed failed"
((failed == 0))
