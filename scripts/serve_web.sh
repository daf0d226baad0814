#!/usr/bin/env bash
# Serves the web page (build/web/site) on this machine only and prints its address; Ctrl-C stops it.
#   scripts/serve_web.sh [PORT]    (default 8000; the next free one above it when taken)
set -euo pipefail
cd "$(dirname "$0")/.."

port=${1:-8000}
if ! [[ $port =~ ^[0-9]+$ ]] || ((port < 1 || port > 65535)); then
  echo "usage: scripts/serve_web.sh [PORT]: PORT must be 1 to 65535, not '$port'" >&2
  exit 2
fi
if [ ! -f build/web/site/index.html ] || [ ! -f build/web/site/show.wasm ]; then
  echo "No web page in build/web/site: make it with scripts/build_web.sh" >&2
  exit 1
fi

# Python's server sends .wasm as application/wasm, which the browser's streaming compile needs.
free_port=$(python3 - "$port" <<'PY'
import socket, sys
start = int(sys.argv[1])
for port in range(start, min(start + 100, 65536)):
    with socket.socket() as s:
        try:
            s.bind(("127.0.0.1", port))
        except OSError:
            continue
        print(port)
        break
PY
)
if [ -z "$free_port" ]; then
  echo "No free port from $port to $((port + 99))" >&2
  exit 1
fi
echo "The show: http://127.0.0.1:$free_port/ (click the page to start it; Ctrl-C stops the server)"
exec python3 -m http.server "$free_port" --bind 127.0.0.1 --directory build/web/site
