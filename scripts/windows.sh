#!/usr/bin/env bash
# Builds Velmora for Windows on this Debian/Ubuntu machine and tests it under
# Wine: installs what is missing, builds qtbase and GoogleTest for mingw-w64
# and Ghostscript's gswin64c.exe once into ~/.cache/velmora (reused after),
# cross-builds velmora.exe and
# velmora-convert.exe into build-windows/ with the DLLs and plugins they need
# beside them, and runs the Windows tests. When they pass, it builds the
# installer build-windows/velmora-<version>-x64.msi and tests it under Wine
# too. Its last line is "N passed, N failed", the tests and the installer's
# rows together.
set -euo pipefail
cd "$(dirname "$0")/.."
cache=${VELMORA_CACHE:-$HOME/.cache/velmora}
qt=$cache/qt-6.4.2-mingw
googletest=$cache/googletest-mingw
ghostscript=$cache/ghostscript-10.0.0-mingw

scripts/windows/install-deps.sh
if [ ! -f "$qt/.velmora-built" ]; then
    echo "Building qtbase for Windows into $qt (once; about 40 minutes on 2 cores)"
fi
scripts/windows/build-qt.sh "$qt"
scripts/windows/build-googletest.sh "$googletest"
scripts/windows/build-ghostscript.sh "$ghostscript"

# The cached Qt remembers the toolchain file of the checkout that built it,
# which may since have moved or gone; this checkout's own is named instead.
# Tests run through Wine, each under the Windows platform or offscreen.
"$qt/bin/qt-cmake" -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/scripts/windows/mingw-w64.cmake" \
    -DGTest_DIR="$googletest/lib/cmake/GTest" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$PWD/scripts/windows/wine-run.sh" >/dev/null
cmake --build build-windows --parallel "$(nproc)"

export WINEPREFIX=$PWD/build-windows/wine
export WINEDEBUG=-all
# The Ghostscript built above is on the Windows PATH of the tests, where the
# program looks first (Wine shows the host's / as drive Z:).
export WINEPATH="Z:${ghostscript//\//\\}\\bin"
log=$(mktemp)
trap 'rm -f "$log"; wineserver -k 2>/dev/null || true' EXIT
status=0
(cd build-windows && xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --output-on-failure --timeout 300) | tee "$log" || status=$?
wineserver -w 2>/dev/null || true

total=$(grep -oE 'tests failed out of [0-9]+' "$log" | awk '{ print $5 }')
failed=$(grep -oE '[0-9]+ tests failed out of' "$log" | awk '{ print $1 }')
total=${total:-0}
failed=${failed:-0}
passed=$((total - failed))

# Once the tests pass, the installer: built, then installed, used and
# uninstalled in a prefix of its own, with an upgrade from an older version.
if [ "$status" -eq 0 ] && [ "$failed" -eq 0 ] && [ "$total" -gt 0 ]; then
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows/CMakeCache.txt)
    IFS=. read -r major minor patch <<<"$version"
    if [ "$patch" -gt 0 ]; then
        older=$major.$minor.$((patch - 1))
    elif [ "$minor" -gt 0 ]; then
        older=$major.$((minor - 1)).0
    else
        older=$((major - 1)).0.0
    fi
    msi=build-windows/velmora-$version-x64.msi
    scripts/windows/build-msi.sh build-windows build-windows/velmora-older-x64.msi "$older"
    scripts/windows/build-msi.sh build-windows "$msi"
    echo "Built $msi"
    export WINEPREFIX=$PWD/build-windows/wine-msi
    rm -rf "$WINEPREFIX"
    xvfb-run -a -s "-screen 0 1280x1024x24" scripts/windows/msi-test.sh "$msi" \
        build-windows/velmora-older-x64.msi build-windows/msi-tree "$version" \
        "$ghostscript/bin" | tee "$log" || status=$?
    rows=$(tail -1 "$log")
    passed=$((passed + $(awk '{ print $1 }' <<<"$rows")))
    failed=$((failed + $(awk '{ print $3 }' <<<"$rows")))
fi

echo "${passed} passed, ${failed} failed"
if [ "$status" -ne 0 ] || [ "$failed" -ne 0 ] || [ "$total" -eq 0 ]; then
    exit 1
fi
