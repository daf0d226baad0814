#!/usr/bin/env bash
# Runs a command inside the WoW64 Wine root that scripts/ensure_wine_wow64.sh made, as root: in
# mount and network namespaces of its own (nothing stays mounted after it, and its X server and
# wineserver meet no one else's), with /proc, /dev, a fresh /tmp, and this repository at the same
# path as outside, so that paths into it mean the same inside.
#   in_wine_wow64.sh COMMAND [ARG...]
# Exit status: the command's; 77 when the root is not there.
set -uo pipefail
repo=$(readlink -f "$(dirname "$0")/..")
root=$repo/build/wine-wow64/root

[[ -f $root/.wow64-recipe ]] ||
  { echo "no WoW64 Wine root in $root (scripts/ensure_wine_wow64.sh makes it)" >&2; exit 77; }
[[ $(id -u) -eq 0 ]] || { echo "entering the WoW64 Wine root needs root" >&2; exit 77; }

exec unshare --mount --net --propagation private sh -ec '
  root=$1 repo=$2
  shift 2
  ip link set lo up 2>/dev/null || true
  mount -t proc proc "$root/proc"
  mount --rbind /dev "$root/dev"
  mount -t tmpfs tmpfs "$root/tmp"
  mkdir -m 700 "$root/tmp/runtime"
  mkdir -p "$root$repo"
  mount --bind "$repo" "$root$repo"
  exec chroot "$root" env -i HOME=/root LANG=C.UTF-8 XDG_RUNTIME_DIR=/tmp/runtime \
    PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin \
    sh -c "cd \"\$0\" 2>/dev/null || cd /; exec \"\$@\"" "$PWD" "$@"
' sh "$root" "$repo" "$@"
