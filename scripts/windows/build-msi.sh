#!/usr/bin/env bash
# Builds Velmora's MSI from a Windows build folder: installs the build into
# a tree beside it (exactly what runs from the build folder), lists the tree
# for wixl with wixl-heat (all but velmora.exe, which dist/windows/velmora.wxs
# names itself) and builds the package.
#
#   build-msi.sh BUILD_DIR MSI [VERSION]
#
# VERSION (x.y.z) defaults to the project's; the test makes an older one.
set -euo pipefail
build=$(cd "$1" && pwd)
msi=$(realpath -m "$2")
cd "$(dirname "$0")/../.."
version=${3:-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")}
IFS=. read -r major minor patch <<<"$version"
next=$major.$minor.$((patch + 1))

tree=$build/msi-tree
rm -rf "$tree"
cmake --install "$build" --prefix "$tree" >/dev/null
(cd "$tree" && find . -type f ! -path ./velmora.exe | sed 's|^\./||' | LC_ALL=C sort) |
    wixl-heat --prefix '' --directory-ref INSTALLDIR --component-group VelmoraFiles \
        --var var.SourceDir --win64 >"$build/msi-files.wxs"
# wixl finds sources only by paths relative to where it runs.
wxs=$PWD/dist/windows/velmora.wxs
cd "$tree"
wixl -a x64 -D Version="$version" -D NextVersion="$next" -D SourceDir=. -D Win64=yes \
    -o "$msi" "$wxs" "$build/msi-files.wxs"
