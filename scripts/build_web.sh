#!/usr/bin/env bash
# Builds the show for web browsers with Debian's emscripten in build/web, and leaves the page in
# build/web/site, the folder to copy to a web host, holding only: index.html, page.js, page.css,
# favicon.ico (the show's icon), show.js and show.wasm.gz (the show), sound.wasm.gz and
# sound_worklet.js (its music, in an audio worklet) and show.data.tgz (the six data files); the
# page inflates the compressed ones itself. The icon and the data files (build/web/data) are made
# by the generator built for this machine (build/release).
#
# Exit status 77 when emscripten cannot be installed here, so that callers report the web build
# skipped.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! scripts/ensure_packages.sh emscripten; then
  echo "emscripten cannot be installed here: the web build is not made" >&2
  exit 77
fi
# The native build's packages too: build/release is configured as run.sh and test.sh do.
scripts/ensure_packages.sh build-essential cmake libgtest-dev libgmock-dev libbenchmark-dev \
  libpng-dev

# Emscripten's JavaScript optimiser needs Debian's node modules, whatever node comes first.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

jobs=$(nproc)
generator=$PWD/build/release/tools/generate_assets/generate-assets
if [ ! -f build/release/CMakeCache.txt ]; then
  cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
# Nothing to do when it is current; otherwise the data files follow the generator's source.
cmake --build build/release --target generate-assets -j"$jobs" >/dev/null

# Made afresh, so that nothing but the page's files is left in it.
rm -rf build/web/site
emcmake cmake -S . -B build/web -DCMAKE_BUILD_TYPE=Release \
  -DSHOW_HOST_GENERATE_ASSETS="$generator" >/dev/null
cmake --build build/web -j"$jobs"

echo "Built the page in build/web/site: $(ls build/web/site | wc -l) files," \
  "$(cat build/web/site/* | wc -c) bytes in all"
