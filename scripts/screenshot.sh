#!/usr/bin/env bash
# Takes the pictures of the window that the README and the AppStream metadata
# show, from the built program under Xvfb, as a user has it: a home of their
# own (/home/alex, in a private mount namespace, so nothing of this machine's
# /home is seen or touched) with their documents listed, nothing stored yet.
#   docs/velmora.png             the window with the documents listed
#   docs/velmora-converting.png  the same window while it converts
# Usage: scripts/screenshot.sh [BUILD_FOLDER] (default build). Needs root (or
# unprivileged user namespaces) for the mount namespace.
set -euo pipefail

user_home=/home/alex
# Where "Start Converting To JPG" sits in the window (its designed place).
start_x=268
start_y=449
# Long enough for the bar to move, short of the end of the conversion.
converting_seconds=2

# Third part: runs inside the X server.
if [ "${1:-}" = --inside-x ]; then
    build=$2 docs=$3
    HOME="$user_home" XDG_CONFIG_HOME="$user_home/.config" "$build/velmora" \
        "$user_home"/Documents/PostScript/* >/dev/null 2>&1 &
    program=$!
    for _ in $(seq 100); do
        xwininfo -name Velmora >/dev/null 2>&1 && break
        sleep 0.1
    done
    sleep 1 # the rows arrive just after the window appears; let them paint
    shoot() { xwd -name Velmora -silent | xwdtopnm 2>/dev/null | pnmtopng >"$1"; }
    shoot "$docs/velmora.png"
    window=$(xdotool search --name '^Velmora$' | head -n 1)
    xdotool mousemove --window "$window" "$start_x" "$start_y" click 1
    sleep "$converting_seconds"
    shoot "$docs/velmora-converting.png"
    kill "$program"
    wait "$program" 2>/dev/null || true
    exit 0
fi

# Second part: runs in the private mount namespace, where /home is ours.
if [ "${1:-}" = --inside-namespace ]; then
    self=$2 build=$3 docs=$4
    mount -t tmpfs tmpfs /home
    mkdir -p "$user_home/Desktop" "$user_home/Documents/PostScript"
    cp "$build"/Samples/* "$user_home/Documents/PostScript/"
    # A long report of the user's own, so the conversion runs long enough to
    # be seen at work.
    {
        echo '%!PS-Adobe-3.0'
        echo '/Helvetica findfont 28 scalefont setfont'
        echo '1 1 60 { dup 72 700 moveto (Annual report, page ) show'
        echo '  3 string cvs show 72 72 moveto 540 72 lineto 306 600 lineto closepath'
        echo '  0.85 setgray fill 0 setgray showpage } for'
    } >"$user_home/Documents/PostScript/annual report.ps"
    xvfb-run -a -s "-screen 0 1024x768x24" "$self" --inside-x "$build" "$docs"
    exit 0
fi

self=$(realpath "$0")
build=$(realpath "${1:-build}")
cd "$(dirname "$self")/.."
[ -x "$build/velmora" ] || { echo "build the program first: $build/velmora" >&2; exit 1; }
for tool in xvfb-run xwd xwininfo xwdtopnm pnmtopng xdotool unshare; do
    command -v "$tool" >/dev/null || { echo "missing $tool: run scripts/install-deps.sh" >&2; exit 1; }
done
mkdir -p docs
unshare --mount --propagation private "$self" --inside-namespace "$self" "$build" "$PWD/docs"
echo "saved docs/velmora.png and docs/velmora-converting.png"
