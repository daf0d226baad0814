#!/bin/sh
# Builds the XM fuzz target into build/fuzz and runs it for [seconds] (default 120) from seed
# modules made by the writer, generated songs whole and cut short, and, where a build made it, the
# show's theme. Exits 0 when nothing was found; otherwise with the fuzzer's status, the input that
# failed kept in build/fuzz/findings.
set -eu
seconds=${1:-120}
root=$(cd "$(dirname "$0")/../../.." && pwd)
out=$root/build/fuzz
cmake -S "$root/tests/xm/fuzz" -B "$out" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$out" -j2 >/dev/null
mkdir -p "$out/seeds" "$out/corpus" "$out/findings"
"$out/xm_fuzz_seeds" "$out/seeds"
cp "$root"/build/*/data/theme2.xm "$out/seeds/" 2>/dev/null || true
# The fuzzer's running log goes to a file; its last lines (the final stats, or the finding) are
# shown.
status=0
"$out/xm_fuzz" -max_total_time="$seconds" -timeout=60 -print_final_stats=1 \
  -artifact_prefix="$out/findings/" "$out/corpus" "$out/seeds" >"$out/fuzz.log" 2>&1 || status=$?
tail -n 25 "$out/fuzz.log"
exit "$status"
