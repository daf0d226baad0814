#!/usr/bin/env bash
# Makes, once, a Debian 13 amd64 root in build/wine-wow64/root whose Wine 10 runs 32-bit Windows
# programs in WoW64 mode: inside a 64-bit process, so on kernels that refuse 32-bit x86 code too.
# Debian 12's Wine 8 in that mode draws nothing, hence a root of its own. Debian's amd64 Wine
# leaves out the 32-bit Windows DLLs; those of libwine:i386, same version, are unpacked beside it
# (not installed: its Unix half would need i386 libraries). The root also holds what
# tests/e2e/wine_e2e.sh runs besides Wine; scripts/in_wine_wow64.sh runs a command in it.
# A root made by this same recipe is kept, so a second call takes a moment. Prints one line,
# "32-bit Wine: WoW64, <Wine's version> in <root>", or "32-bit Wine: not available, because ..."
# with exit status 77 when the root cannot be made here; what it does meanwhile goes to stderr.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

dir=$PWD/build/wine-wow64
root=$dir/root
suite=trixie
packages=(wine wine64 libgl1 libglx-mesa0 libgl1-mesa-dri xvfb xdotool x11-apps imagemagick
  icoutils perl mawk libstdc++6 procps)
# A change here makes the root anew.
recipe="$suite ${packages[*]} i386-windows"

# Run by mmdebstrap inside the new root's making, with the network still there.
if [[ ${1-} == --add-i386-windows ]]; then
  exec chroot "$2" sh -ec '
    version=$(dpkg-query -W -f="\${Version}" libwine)
    cd /tmp
    apt-get download -q -o APT::Sandbox::User=root "libwine:i386=$version"
    mkdir unpacked
    dpkg-deb -x libwine_*_i386.deb unpacked
    cp -a unpacked/usr/lib/i386-linux-gnu/wine/i386-windows /usr/lib/x86_64-linux-gnu/wine/
    rm -rf unpacked libwine_*_i386.deb
    test -f /usr/lib/x86_64-linux-gnu/wine/i386-windows/kernel32.dll'
fi

cannot() { echo "32-bit Wine: not available, because $*"; exit 77; }

ready() {
  [[ -f $root/.wow64-recipe && $(cat "$root/.wow64-recipe") == "$recipe" ]] || return 1
  echo "32-bit Wine: WoW64, $(cat "$root/.wow64-version") in $root"
}

[[ $(id -u) -eq 0 ]] || cannot "making and entering its root needs root"
# As scripts/in_wine_wow64.sh enters the root; a container may forbid it.
unshare --mount --net true 2>/dev/null ||
  cannot "this machine allows no mount and network namespaces"
mkdir -p "$dir"
exec 9>"$dir/lock"
flock 9
ready && exit 0

scripts/ensure_packages.sh mmdebstrap >&2 || cannot "mmdebstrap cannot be installed"
echo "making the Debian 13 root for WoW64 Wine in $root (a few minutes, once)" >&2
rm -rf "$root.new"
# The limit only guards against a network that hangs.
if ! timeout 1800 mmdebstrap --variant=apt --architectures=amd64,i386 \
  --include="$(IFS=,; echo "${packages[*]}")" \
  --customize-hook="\"$PWD/scripts/ensure_wine_wow64.sh\" --add-i386-windows \"\$1\"" \
  "$suite" "$root.new" >"$dir/mmdebstrap.log" 2>&1; then
  tail -n 20 "$dir/mmdebstrap.log" >&2
  rm -rf "$root.new"
  cannot "the Debian 13 root could not be made (no network? the log is $dir/mmdebstrap.log)"
fi
version=$(chroot "$root.new" dpkg-query -W -f='${Version}' wine) ||
  { rm -rf "$root.new"; cannot "the new root has no Wine"; }
echo "Wine $version (Debian 13)" >"$root.new/.wow64-version"
echo "$recipe" >"$root.new/.wow64-recipe"
rm -rf "$root"
mv "$root.new" "$root"
# A prefix made by another Wine would be brought up to date at the first case, slowly.
rm -rf "$dir/prefix" "$dir/prefix.lock"
ready
