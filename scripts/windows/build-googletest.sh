#!/usr/bin/env bash
# Builds GoogleTest for Windows from the source Debian ships in
# /usr/src/googletest into the cache folder given as $1, once.
set -euo pipefail
prefix=$1
here=$(cd "$(dirname "$0")" && pwd)

if [ -f "$prefix/.velmora-built" ]; then
    exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake -G Ninja -S /usr/src/googletest -B "$work" \
    -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=ON >/dev/null
cmake --build "$work" --parallel "$(nproc)" >/dev/null
cmake --install "$work" >/dev/null
touch "$prefix/.velmora-built"
