#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses the installed programs
# from another folder: the command-line twin converts the installed samples,
# and the window starts (offscreen) and stays up until stopped.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/velmora bin/velmora-convert lib/velmora/ps/pstopdf.sh lib/velmora/HAND-M.CUR \
         lib/velmora/drag.ico share/applications/app.velmora.Velmora.desktop \
         share/metainfo/app.velmora.Velmora.metainfo.xml share/man/man1/velmora-convert.1.gz \
         share/icons/hicolor/scalable/apps/velmora.svg; do
    [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done

cp "$prefix"/lib/velmora/Samples/* "$work/"
cd /
"$prefix/bin/velmora-convert" "$work"/* >"$work/out.txt" 2>/dev/null
grep -qx 'Done.' "$work/out.txt"
pages=$(ls "$work"/*.jpg | wc -l)
[ "$pages" -eq 6 ] || { echo "expected 6 pages, got $pages"; exit 1; }

# The window: started from the prefix with a fresh home, it must still be
# running after two seconds (timeout then ends it with status 124).
status=0
HOME="$work/home" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen \
    timeout 2 "$prefix/bin/velmora" >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || { echo "velmora ended early with status $status"; exit 1; }
echo "installed programs work from $prefix"
