#!/usr/bin/env bash
# Builds qtbase for Windows from Debian's own source package into the cache
# folder given as $1, once: a finished install leaves a stamp and is reused.
# Only the modules Velmora uses are built (Core, Gui, Widgets, Test, and the
# windows and offscreen platforms).
set -euo pipefail
prefix=$1
here=$(cd "$(dirname "$0")" && pwd)
version=6.4.2

if [ -f "$prefix/.velmora-built" ]; then
    exit 0
fi

work=$(dirname "$prefix")/qtbase-work
mkdir -p "$work"
cd "$work"
if [ ! -d "qtbase-everywhere-src-$version" ]; then
    apt-get source --download-only qt6-base >/dev/null 2>&1
    tar -xf qt6-base_"$version"*.orig.tar.xz
fi

# Debian's source leaves out the wintab header, so tablet events are off;
# without OpenGL the windows plugin builds only with dynamic GL off too.
cmake -G Ninja -S "qtbase-everywhere-src-$version" -B build \
    -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF >configure.log
cmake --build build --parallel "$(nproc)" >build.log
cmake --install build >install.log
touch "$prefix/.velmora-built"
cd /
rm -rf "$work"
