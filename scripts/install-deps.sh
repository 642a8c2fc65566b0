#!/usr/bin/env bash
# Installs the Debian packages Velmora needs to build, run and test; does nothing
# when they are all present. Safe to run as often as you like.
set -euo pipefail

packages=(
    # build
    cmake g++ make pkg-config qt6-base-dev libgtest-dev libgmock-dev
    # run
    ghostscript bubblewrap fonts-liberation2 qt6-qpa-plugins xdg-utils
    # headless tests under a real X server
    xvfb xauth
    # the private session bus of the notice and dock-bar tests
    dbus-daemon
    # the Debian package and its checks: cpack's dpkg-shlibdeps, a private
    # dpkg install, the desktop entry, AppStream and manual page validators
    dpkg-dev fakeroot desktop-file-utils appstream man-db bsdextrautils
    # scripts/screenshot.sh
    x11-apps netpbm xdotool
    # the sanitizer and fuzzing build
    clang libclang-rt-14-dev
    # scripts/coverage.sh
    gcovr
    # the README's GNU parallel command line, run on this machine by its test
    parallel
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
