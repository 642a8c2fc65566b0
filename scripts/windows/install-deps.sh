#!/usr/bin/env bash
# Installs what the Windows build needs: the mingw-w64 toolchain, ninja, Wine
# and Xvfb, wixl for the installer, and a deb-src entry so apt-get source can
# fetch the sources of Qt and Ghostscript from the same archive the machine
# already uses. Does nothing when all is there.
set -euo pipefail

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive

packages=(
    # the cross compiler, and Qt's own tools from the host (moc, rcc, uic)
    g++-mingw-w64-x86-64-posix ninja-build cmake qt6-base-dev qt6-base-dev-tools
    # sources: apt-get source, and GoogleTest's in /usr/src/googletest
    dpkg-dev xz-utils libgtest-dev
    # Ghostscript's own build: its helper programs are built for the host
    gcc make patch pkg-config
    # the tests: Wine on a virtual X server, and the windows on it
    wine xvfb xauth xdotool
    # the installer: wixl builds an MSI from a WiX source
    wixl
)
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

sources=/etc/apt/sources.list.d/velmora-deb-src.sources
need_update=0
if [ ! -f "$sources" ]; then
    # The same archive and suites as the deb entry, for source packages only.
    "${sudo_cmd[@]}" tee "$sources" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ "$need_update" -eq 1 ]; then
    "${sudo_cmd[@]}" apt-get update -q
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
