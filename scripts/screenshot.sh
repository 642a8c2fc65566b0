#!/usr/bin/env bash
# Takes the picture of the window that the README and the AppStream metadata
# show: the built program opens under Xvfb with the sample files listed, as a
# new user with nothing stored would see it, and the window is saved as
# docs/velmora.png. Usage: scripts/screenshot.sh [BUILD_FOLDER] (default build).
set -euo pipefail

# Second half: runs inside the X server that the first half starts.
if [ "${1:-}" = --inside-x ]; then
    home=$2 build=$3 out=$4
    HOME="$home" XDG_CONFIG_HOME="$home/.config" "$build/velmora" \
        "$home"/Documents/PostScript/* >/dev/null 2>&1 &
    program=$!
    for _ in $(seq 100); do
        xwininfo -name Velmora >/dev/null 2>&1 && break
        sleep 0.1
    done
    sleep 1 # the rows arrive just after the window appears; let them paint
    xwd -name Velmora -silent | xwdtopnm 2>/dev/null | pnmtopng >"$out"
    kill "$program"
    wait "$program" 2>/dev/null || true
    exit 0
fi

self=$(realpath "$0")
build=$(realpath "${1:-build}")
cd "$(dirname "$self")/.."
[ -x "$build/velmora" ] || { echo "build the program first: $build/velmora" >&2; exit 1; }
for tool in xvfb-run xwd xwininfo xwdtopnm pnmtopng; do
    command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/install-deps.sh" >&2; exit 1; }
done

# A fresh home, so the settings are the first-run ones and the rows read like
# a user's own files rather than a build folder.
home=$(mktemp -d /tmp/velmora-screenshot.XXXXXX)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/Desktop" "$home/Documents/PostScript"
cp "$build"/Samples/* "$home/Documents/PostScript/"
mkdir -p docs

xvfb-run -a -s "-screen 0 1024x768x24" "$self" --inside-x "$home" "$build" "$PWD/docs/velmora.png"
echo "saved docs/velmora.png"
