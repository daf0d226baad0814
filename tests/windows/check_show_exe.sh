#!/usr/bin/env bash
# Checks that a 32-bit show.exe is a program for the machines the show was made for: a Pentium MMX
# running Windows 98, and a small file. One FAIL line per finding; exit status 1 when there is one.
#
#   tests/windows/check_show_exe.sh [--no-size-limit] SHOW_EXE [ALLOWED_IMPORTS]
#
# - Instructions: `objdump -d` of its code holds nothing a Pentium MMX lacks. Covered: any operand
#   in an SSE or AVX register (%xmm, %ymm, %zmm); the P6's additions (cmov*, fcmov*, fcomi, fcomip,
#   fucomi, fucomip, the long nops nopw/nopl, sysenter, sysexit, fxsave, fxrstor); the SSE and
#   SSE2 instructions that name no SSE register (prefetch*, sfence, lfence, mfence, clflush,
#   movnti, ldmxcsr, stmxcsr, and those on MMX registers: pshufw, pavgb, pavgw, pmaxsw, pminsw,
#   pmaxub, pminub, psadbw, pmulhuw, pextrw, pinsrw, pmovmskb, maskmovq, movntq, paddq, psubq,
#   pmuludq); fisttp (SSE3) and 3DNow!'s femms and pf*. Not covered: instructions of later
#   processors that no compiler emits for this code (popcnt, movbe, the BMI sets and others).
# - Imports: every function it imports is in the allowed set (default:
#   platform/windows/allowed_imports.txt, lines DLL!function; DLL names in any case).
# - Size: at most 131,072 bytes; with --no-size-limit the size is only printed.
set -euo pipefail

max_bytes=131072
if [[ ${1:-} == --no-size-limit ]]; then
  max_bytes=
  shift
fi
exe=${1:?usage: check_show_exe.sh [--no-size-limit] SHOW_EXE [ALLOWED_IMPORTS]}
allowed=${2:-$(dirname "$0")/../../platform/windows/allowed_imports.txt}
objdump=i686-w64-mingw32-objdump
failed=0
fail() {
  echo "FAIL $exe: $*"
  failed=1
}

[[ -f $exe ]] || { fail "no such file"; exit 1; }
format=$("$objdump" -f "$exe" 2>/dev/null | sed -n 's/.*file format //p')
[[ $format == pei-i386 ]] || { fail "not a 32-bit Windows program (${format:-unreadable})"; exit 1; }

mnemonics='cmov[a-z]+|fcmov[a-z]+|fcomip?|fucomip?|nop[wl]|sysenter|sysexit|fxsave|fxrstor'
mnemonics+='|prefetch[a-z0-9]*|[slm]fence|clflush|movnti|ldmxcsr|stmxcsr|pshufw|pavg[bw]'
mnemonics+='|pmaxsw|pminsw|pmaxub|pminub|psadbw|pmulhuw|pextrw|pinsrw|pmovmskb|maskmovq|movntq'
mnemonics+='|paddq|psubq|pmuludq|fisttp[slq]?|femms|pf[a-z0-9]+'
# Lines of objdump's listing are "address:<tab>bytes<tab>mnemonic operands".
denied=$("$objdump" -d --no-show-raw-insn "$exe" |
  grep -E $'^ *[0-9a-f]+:\t('"$mnemonics"')( |$)|%[xyz]mm[0-9]' || true)
if [[ -n $denied ]]; then
  fail "$(wc -l <<<"$denied") instructions a Pentium MMX does not have, first:"
  head -5 <<<"$denied"
fi

# The import tables: "DLL Name: X" and then one "hint-rva hint name" line per function.
imports=$("$objdump" -p "$exe" | awk '
  /^\tDLL Name: / { dll = $3; next }
  dll != "" && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print tolower(dll) "!" $3 }
  /^$/ { dll = "" }')
[[ -n $imports ]] || fail "no imports found"
outside=$(comm -23 <(sort -u <<<"$imports") \
  <(grep -v '^#' "$allowed" | awk 'NF { split($1, p, "!"); print tolower(p[1]) "!" p[2] }' |
    sort -u))
if [[ -n $outside ]]; then
  fail "$(wc -l <<<"$outside") imports outside $allowed:"
  echo "$outside"
fi

bytes=$(stat -c %s "$exe")
[[ -z $max_bytes ]] || ((bytes <= max_bytes)) || fail "$bytes bytes, more than $max_bytes"

((failed == 0)) || exit 1
echo "$exe: no instruction beyond the Pentium MMX, $(wc -l <<<"$imports") imports from the" \
  "allowed set, $bytes bytes"
