#!/usr/bin/env bash
# Runs the web build of the show in headless Chromium, at the browser's own pace, driven by
# web_e2e.py: the page's folder holds its files alone and a first visit fetches at most 1,000,000
# bytes; on a page busy 150 ms of every 300 ms the music goes on without a gap; on a phone a tap
# starts the show, the picture fits exactly and the End button or two fingers end it; the show runs
# to its end with every frame presented, its screenshots scenes of the framebuffer model, its music
# played throughout; Escape ends it, and it starts again; a page without focus or out of sight
# presents nothing; full screen by double click, F11 and the button; a resized page takes the
# picture at its new scale; no case leaves an error on the browser's console or a request
# unanswered.
#   web_e2e.sh [BUILD_DIR [TOOLS_DIR]]     (default build/web and build/release/tests/e2e)
#   web_e2e.sh --figures [BUILD_DIR [TOOLS_DIR]]: load time, frame rate and frame time, at the
#   browser's own pace and with its frame rate unlimited (tools/bench/web_figures.py); no checks
# Exit status 0 when every case passed, 1 when one failed, 77 when Chromium, its driver or Selenium
# cannot be installed here.
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
root=$(readlink -f "$here/../..")

program=$here/web_e2e.py
if [[ ${1:-} == --figures ]]; then
  program=$root/tools/bench/web_figures.py
  shift
fi
build=$(readlink -f "${1:-$root/build/web}")
tools=$(readlink -f "${2:-$root/build/release/tests/e2e}")

if ! "$root/scripts/ensure_packages.sh" chromium chromium-driver python3-selenium imagemagick; then
  echo "SKIP: Chromium, its driver or Selenium cannot be installed: the web page is not tested"
  exit 77
fi
if [[ ! -f $build/site/index.html || ! -f $build/data/theme2.xm ]]; then
  echo "FAIL: no page in $build/site or no data in $build/data (scripts/build_web.sh makes them)"
  exit 1
fi
# The model's tools come from the native build.
if [[ ! -x $tools/e2e_identify_picture || ! -x $tools/e2e_write_assets ]]; then
  echo "FAIL: no e2e_identify_picture and e2e_write_assets in $tools (the native build makes them)"
  exit 1
fi

# Debian's Python: the one first on PATH may not see Debian's Selenium.
/usr/bin/python3 "$program" "$build" "$tools"
