#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed programs
# from another folder: velmora-convert converts the samples, the window starts.
set -euo pipefail
build=$1
command -v gs >/dev/null ||
    { echo "install_from_prefix: needs gs (package ghostscript)" >>"${VELMORA_SKIP_LOG:-/dev/stderr}"; exit 77; }
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
[ "$("$prefix/bin/velmora-convert" "$work"/* 2>/dev/null)" = "Done." ] || { echo "samples failed"; exit 1; }
[ "$(ls "$work"/*.jpg | wc -l)" -eq 6 ] || { echo "not 6 pages: $(ls "$work")"; exit 1; }

# The window, started from the prefix with a fresh home, does not end by
# itself: timeout ends it (status 124). A start that fails ends it sooner.
status=0
HOME="$work/home" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen \
    timeout 2 "$prefix/bin/velmora" >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || { echo "velmora ended early with status $status"; exit 1; }
