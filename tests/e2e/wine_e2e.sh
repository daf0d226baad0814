#!/usr/bin/env bash
# Runs a Windows build of the show under Wine on a virtual X server of its own and checks it case by
# case, one PASS or FAIL line each.
#   wine_e2e.sh BUILD_DIR TOOLS_DIR [CASE...]
# BUILD_DIR holds show.exe, data/ and tests/*.exe; TOOLS_DIR holds e2e_write_assets and
# e2e_identify_picture (the Linux build's). CASEs, all by default: to_end, 32_bpp, 16_bpp,
# no_data, no_ddraw, unit_tests, icon, 24_bpp (on an X screen of its own) and, for a 32-bit
# show.exe, win98 (a whole show with Wine's Windows version set to Windows 98: nothing the show
# calls may refuse it).
# A 32-bit show.exe runs under 32-bit Wine where it is installed; otherwise, or with WINE_E2E_WOW64
# set, under WoW64 Wine in the Debian 13 root of scripts/ensure_wine_wow64.sh, this script running
# again inside it (BUILD_DIR and TOOLS_DIR must then lie in this repository). The first line says
# which Wine ran.
# Wine's DirectDraw is not paced by a retrace: a whole show runs as fast as Wine draws. The cases
# that look at pictures and end the show early run it on a stand-in DirectDraw whose flips take at
# least 20 ms, so the show is still on whatever the machine's speed; pictures are checked by
# whichever scene is up, and the time limits only guard against a hang. Wine's ddraw trace counts
# the frames presented: 5202 for a whole show (counters 0 to 2650 and 2951 to 5501). Before the
# cases, Wine must be able to make an OpenGL context (its DirectDraw draws through OpenGL).
# Exit status 1 when a case failed, 77 when Wine cannot run this show.exe here.
set -uo pipefail

build=$(readlink -f "$1")
tools=$(readlink -f "$2")
shift 2
cases=("$@")
here=$(dirname "$(readlink -f "$0")")
source "$here/x_screen.sh"
root=$(readlink -f "$here/../..")

skip() { echo "SKIP: $*"; exit 77; }
[[ -f $build/show.exe ]] || { echo "FAIL: no $build/show.exe" >&2; exit 1; }

# The machine a PE file is built for, from its COFF header.
pe_machine() {
  local offset
  offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' '
}
# Wine's Unix side runs on the machine's own libraries: their directory and package suffix.
lib=x86_64-linux-gnu lib_package=""
case $(pe_machine "$build/show.exe") in
  8664) arch=win64 wine=/usr/lib/wine/wine64 ;;
  014c) arch=win32 wine=/usr/lib/wine/wine ;;
  *) echo "FAIL: $build/show.exe is no x86 or x86-64 program" >&2; exit 1 ;;
esac
if ((${#cases[@]} == 0)); then
  cases=(to_end 32_bpp 16_bpp no_data no_ddraw unit_tests icon 24_bpp)
  # Windows 98 ran 32-bit programs only.
  [[ $arch == win64 ]] || cases+=(win98)
fi
prefix=$root/build/wine-prefix/$arch wine_arch=$arch
wow64_dlls=/usr/lib/x86_64-linux-gnu/wine/i386-windows
if [[ $arch == win32 && -f $wow64_dlls/kernel32.dll ]]; then
  # 64-bit Wine with the 32-bit Windows DLLs beside it: the WoW64 root. Its prefix is 64-bit.
  wine=/usr/lib/wine/wine64 wine_arch=win64 prefix=$root/build/wine-wow64/prefix
  how="WoW64 in a Debian $(cat /etc/debian_version) root"
elif [[ $arch == win32 ]]; then
  lib=i386-linux-gnu lib_package=:i386 how="32-bit"
else
  how="64-bit"
fi

if [[ $arch == win32 && (! -x $wine || -n ${WINE_E2E_WOW64-}) ]]; then
  [[ -f $root/build/wine-wow64/root/.wow64-recipe ]] ||
    skip "no 32-bit Wine: scripts/ensure_wine.sh installs it where the kernel runs 32-bit code," \
      "scripts/ensure_wine_wow64.sh makes WoW64 Wine elsewhere"
  for dir in "$build" "$tools"; do
    [[ $dir == "$root"/* ]] ||
      { echo "FAIL: $dir is outside $root, which alone is seen in the WoW64 root"; exit 1; }
  done
  exec "$root/scripts/in_wine_wow64.sh" "$here/wine_e2e.sh" "$build" "$tools" "${cases[@]}"
fi

for program in Xvfb xdotool xwd convert wrestool icotool; do
  command -v "$program" >/dev/null || skip "$program is not installed (scripts/ensure_wine.sh)"
done
[[ -x $wine ]] || skip "$wine is not installed (scripts/ensure_wine.sh)"
version=$("$wine" --version)
wine_major=${version#wine-}
wine_major=${wine_major%%.*}
echo "$arch show.exe under $version ($how)"

export WINEPREFIX=$prefix WINEARCH=$wine_arch WINEDEBUG=-all
# No installer for .NET or Gecko when a prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINELOADER WINESERVER
wineserver=/usr/lib/wine/wineserver

# One run at a time per prefix: a second would share its wineserver and desktop.
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9

work=$(mktemp -d "${TMPDIR:-/tmp}/wine-e2e.XXXXXX")
xvfb_pid=""
show_pid=""

stop_wine() { "$wineserver" -k 2>/dev/null; "$wineserver" -w 2>/dev/null; }
stop_x() {
  [[ -n $xvfb_pid ]] || return 0
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
}
cleanup() {
  stop_wine
  stop_x
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A virtual X server of depth $1, 640x400 like the mode, and a wineserver kept for the cases that
# follow: its desktop window lives on that server.
start_x() {
  stop_wine
  stop_x
  start_xvfb "640x400x$1" || { echo "FAIL: Xvfb did not start: $(cat "$work/xvfb.log")" >&2; exit 1; }
  screen_depth=$1
  "$wineserver" -p
}

# The prefix is made once and kept: its desktop is 640x400, so the show's mode switches happen
# inside Wine's virtual desktop window rather than on the X server.
prepare_prefix() {
  [[ -f $WINEPREFIX/.e2e-ready ]] && return 0
  echo "making the Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  timeout 300 "$wine" wineboot -i >"$work/wineboot.log" 2>&1 &&
    timeout 60 "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 640x400 /f \
      >/dev/null 2>&1 &&
    timeout 60 "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f \
      >/dev/null 2>&1 &&
    stop_wine || {
    echo "FAIL: the Wine prefix could not be made:" >&2
    cat "$work/wineboot.log" >&2
    exit 1
  }
  touch "$WINEPREFIX/.e2e-ready"
}

failures=0
not_checked=""
pass() { echo "PASS $arch $case_name: $*"; }
fail() {
  echo "FAIL $arch $case_name: $*"
  failures=$((failures + 1))
  # What Wine said besides the ddraw trace, when this case ran the show.
  if [[ -n $run && -f $run/trace.log ]]; then
    grep -v ':trace:' "$run/trace.log" | tail -n 20 | sed 's/^/  /'
  fi
  return 1
}

# A fresh directory for a run holding show.exe and, as $1 says, the data files (data), the test
# pictures the framebuffer model knows (test), or nothing else (none).
make_run_dir() {
  run=$work/run-$case_name
  mkdir -p "$run"
  cp "$build/show.exe" "$run/"
  case $1 in
    data) cp "$build"/data/* "$run/" ;;
    test) "$tools/e2e_write_assets" "$run" ;;
  esac
}

# The show in $run, bounded by a limit against a hang; settings for Wine as arguments. Wine's ddraw
# trace (and any other the arguments ask for) goes to trace.log, everything else the show's Wine
# prints to show.log.
start_show() {
  started=$(now)
  (cd "$run" && exec env WINEDEBUG=-all,trace+ddraw "$@" \
    timeout -k 5 300 "$wine" start /b /wait /unix "$run/show.exe") \
    >"$run/show.log" 2>"$run/trace.log" &
  show_pid=$!
}

# Waits for the show; sets `status` (124 or 137: stopped by the limit).
wait_show() {
  status=0
  wait "$show_pid" || status=$?
  show_pid=""
}

flips() { grep -c 'ddraw_surface1_Flip' "$run/trace.log"; }

# The show's window: created hidden, as a full-screen DirectDraw window may be; Wine draws into it
# all the same, so it is mapped from here to be seen.
find_window() {
  window=""
  for _ in $(seq 1500); do
    window=$(xdotool search --name '^test$' 2>/dev/null | head -n 1)
    [[ -n $window ]] && break
    kill -0 "$show_pid" 2>/dev/null || return 1
    sleep 0.02
  done
  [[ -n $window ]] && xdotool windowmap "$window" 2>/dev/null
}

# Shoots the window until at least four shots have shown scenes of the framebuffer model in layout
# $1, two different ones among them; with $2 "rounded", narrow channels widened as Wine widens
# them. Shots before the first scene (the window just mapped, not yet drawn into) are passed over;
# one that is no scene after that fails.
check_pictures() {
  local layout=$1 widened=${2-} seen=0 scene shown=""
  find_window || { fail "the show ended before its window appeared"; return 1; }
  local deadline=$((SECONDS + 120))  # a guard against a hang
  while ((seen < 4 || $(wc -w <<<"$shown") < 2)) && ((SECONDS < deadline)); do
    shoot "$window" || { fail "the window went away after $seen shots of scenes:$shown"; return 1; }
    # shellcheck disable=SC2086
    if scene=$("$tools/e2e_identify_picture" "$work/shot.ppm" "$layout" 1 0 0 $widened); then
      seen=$((seen + 1))
      [[ " $shown " == *" $scene "* ]] || shown="$shown $scene"
    elif ((seen > 0)); then
      fail "a shot shows no scene in $layout ($scene), after$shown"
      return 1
    fi
  done
  ((SECONDS < deadline)) ||
    { fail "no two scenes in $layout within 120 s (a guard against a hang)"; return 1; }
  pictures="$seen shots in $layout, each a scene:$shown"
}

# Ends the running show with $1 (escape or close) and checks it ended early with status 0.
end_early_with() {
  local asked
  asked=$(now)
  case $1 in
    escape) xdotool key Escape ;;
    close) "$wine" taskkill /im show.exe >/dev/null 2>&1 ;;
  esac
  wait_show
  local presented
  presented=$(flips)
  ((status == 0)) || { fail "exit status $status after the $1, not 0"; return 1; }
  ((presented < 5202)) ||
    { fail "the show played to its end ($presented frames): the $1 did nothing"; return 1; }
  ended="ended $(seconds_since "$asked") s after the $1, status 0, after $presented of 5202 frames"
}

# A whole show in $run, exit status 0 and every frame presented; settings for Wine as arguments.
run_whole_show() {
  start_show "$@"
  wait_show
  local presented
  presented=$(flips)
  ((status != 124 && status != 137)) ||
    { fail "the show did not end within 300 s (a guard against a hang)"; return 1; }
  ((status == 0)) || { fail "exit status $status, not 0"; return 1; }
  ((presented == 5202)) || { fail "$presented frames presented, not 5202"; return 1; }
  whole="exit status 0 after all 5202 frames, in $(seconds_since "$started") s"
}

# Without an OpenGL context Wine's DirectDraw makes no flipping chain and every case that shows the
# show fails alike; one line names the missing piece instead, and those cases are left out.
check_opengl() {
  local probe missing=() file package
  probe=$(WINEDEBUG=-all,err+all timeout 60 "$wine" "$work/opengl_context.exe" \
    2>"$work/opengl.log") && return 0
  for file in libGL.so.1:libgl1 libGLX_mesa.so.0:libglx-mesa0 dri/swrast_dri.so:libgl1-mesa-dri; do
    package=${file#*:}
    package=$package$lib_package
    [[ -e /usr/lib/$lib/${file%%:*} ]] || missing+=("/usr/lib/$lib/${file%%:*} (package $package)")
  done
  ((${#missing[@]})) || missing=("none of the GL libraries; Wine said:")
  echo "FAIL $arch opengl: Wine can make no OpenGL context (${probe:-no answer} failed), so its" \
    "DirectDraw cannot show the show; missing: ${missing[*]}"
  grep -m 5 'err:' "$work/opengl.log" | sed 's/^/  /'
  failures=$((failures + 1))
  local kept=() left=()
  for case_name in "${cases[@]}"; do
    case $case_name in
      to_end | *_bpp | no_data) left+=("$case_name") ;;
      *) kept+=("$case_name") ;;
    esac
  done
  echo "not run without OpenGL: ${left[*]}"
  cases=("${kept[@]}")
}

run_case() {
  case $case_name in
    to_end)
      make_run_dir data
      run_whole_show && pass "$whole"
      ;;
    32_bpp | 16_bpp | 24_bpp)
      # One run on the paced stand-in checks the pictures, then ends the show early. At 32 bpp
      # with Escape; at 16 bpp, with a stand-in offering no other depth, with WM_CLOSE; at 24 bpp,
      # which Wine gives on an X screen of depth 16 (refusing 32), with Escape and the pictures in
      # the screen's 16 bits.
      local layout=xrgb8888 widened="" how=escape
      [[ $case_name == 24_bpp ]] && start_x 16 && layout=rgb565
      make_run_dir test
      cp "$work/ddraw-paced.dll" "$run/ddraw.dll"
      if [[ $case_name == 16_bpp ]]; then
        layout=rgb565 widened=rounded how=close
        cp "$work/ddraw-16.dll" "$run/ddraw.dll"
      fi
      start_show WINEDLLOVERRIDES="$WINEDLLOVERRIDES;ddraw=n,b"
      check_pictures "$layout" "$widened" || return
      # Wine 10 offers display modes of 8, 16 and 32 bits only.
      if [[ $case_name == 24_bpp && $wine_major -ge 10 ]] &&
        grep -q "RGB bits: 16," "$run/trace.log" &&
        grep -q "SetDisplayMode.* bpp 24" "$run/trace.log"; then
        not_checked=" (24-bit surfaces not checked: no such mode in this Wine)"
        echo "SKIP $arch 24_bpp: $version offers no 24-bit mode; the show asked for one and" \
          "went on at 16 bpp, pictures: $pictures"
      else
        grep -q "RGB bits: ${case_name%_bpp}," "$run/trace.log" ||
          { fail "the show's surfaces are not ${case_name%_bpp}-bit"; return; }
        pass "pictures: $pictures"
      fi
      end_early_with "$how" && pass "$how: $ended"
      ;;
    win98)
      # Wine's Windows version for the whole prefix, as winecfg sets it, put back afterwards. Wine's
      # trace of the version the show's own thread was given shows that the setting took.
      local before
      before=$("$wine" winecfg -v 2>/dev/null | tr -d '\r')
      "$wine" winecfg -v win98 >/dev/null 2>&1 || { fail "winecfg -v win98 failed"; return; }
      make_run_dir data
      run_whole_show WINEDEBUG=-all,trace+ddraw,trace+ver
      local ok=$?
      "$wine" winecfg -v "${before:-win10}" >/dev/null 2>&1
      ((ok == 0)) || return
      local thread versions
      thread=$(grep -m 1 -o '^[0-9a-f]*:trace:ddraw' "$run/trace.log" | cut -d: -f1)
      versions=$(grep "^$thread:trace:ver:version_init got" "$run/trace.log" |
        sed 's/.* got \([0-9.]*\) platform \([0-9]*\).*/\1 platform \2/' | sort -u)
      if [[ $versions == "4.10 platform 1" ]]; then
        pass "as Windows 98 (4.10, the 9x platform in the show's thread): $whole"
      else
        fail "the show ran as ${versions:-an unknown version}, not Windows 98 (4.10 platform 1)"
      fi
      ;;
    no_data)
      make_run_dir none
      run_whole_show && pass "without data files: $whole"
      ;;
    no_ddraw)
      make_run_dir data
      start_show WINEDLLOVERRIDES="$WINEDLLOVERRIDES;ddraw="
      wait_show
      if ((status == 1)); then
        pass "without ddraw.dll: exit status 1 after $(seconds_since "$started") s, $(flips) frames"
      else
        fail "without ddraw.dll: exit status $status, not 1"
      fi
      ;;
    unit_tests)
      local test names=() failed=()
      for test in "$build"/tests/*.exe; do
        [[ -e $test ]] || { fail "no unit tests in $build/tests"; return; }
        names+=("$(basename "$test" .exe)")
        (cd "$build/tests" && timeout -k 5 600 "$wine" "$test") >"$work/${names[-1]}.log" 2>&1 ||
          { failed+=("${names[-1]}"); tail -n 30 "$work/${names[-1]}.log"; }
      done
      ((${#failed[@]} == 0)) && pass "${names[*]}" || fail "${failed[*]} of ${names[*]}"
      ;;
    icon)
      # The icon group IDI_MAIN (resource type 14) and the icons it lists, written back as an .ico.
      wrestool -l "$build/show.exe" >"$work/resources" 2>&1
      if ! grep -q "type=14 --name='IDI_MAIN'" "$work/resources"; then
        fail "no icon yet: no icon group IDI_MAIN in $(paste -sd ' ' "$work/resources")"
        return
      fi
      wrestool -x --type=14 --name=IDI_MAIN "$build/show.exe" >"$work/show.ico" 2>/dev/null
      local sizes
      sizes=$(icotool -l "$work/show.ico" 2>/dev/null |
        sed -n 's/.*--width=\([0-9]*\) --height=\([0-9]*\).*/\1x\2/p' | paste -sd ' ')
      if [[ $(wc -w <<<"$sizes") -eq 3 ]]; then
        pass "IDI_MAIN holds three icons: $sizes"
      else
        fail "IDI_MAIN holds ${sizes:-no icons}, not three"
      fi
      ;;
    *) fail "unknown case" ;;
  esac
}

prepare_prefix
# The helpers the Windows build made for this show.exe's machine.
cp "$build"/wine-helpers/{ddraw-paced.dll,ddraw-16.dll,opengl_context.exe} "$work/" ||
  { echo "FAIL: no Wine test helpers in $build/wine-helpers (the Windows build makes them)"; exit 1; }
start_x 24
check_opengl
for case_name in "${cases[@]}"; do
  run=""
  [[ $case_name == 24_bpp || $screen_depth == 24 ]] || start_x 24
  run_case
  # A show a failed case left running goes with its wineserver.
  if [[ -n $show_pid ]]; then
    kill "$show_pid" 2>/dev/null
    wait_show
    stop_wine
    "$wineserver" -p
  fi
done
if ((failures > 0)); then
  echo "$failures Wine check(s) failed ($arch)"
  exit 1
fi
echo "all ${#cases[@]} Wine cases passed ($arch)$not_checked"
