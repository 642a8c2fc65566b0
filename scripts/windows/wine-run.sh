#!/usr/bin/env bash
# Runs one Windows program of the build under Wine, for ctest. The first run
# makes the Wine prefix (about 10 s), so runs wait for each other until it is
# there.
set -euo pipefail
: "${WINEPREFIX:?set WINEPREFIX}"
export WINEDEBUG=${WINEDEBUG:--all}
exec 9>"${WINEPREFIX%/}.lock"
flock 9
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
fi
flock -u 9
exec wine "$@"
