#!/bin/sh
# Builds the scan benchmark (optimised) and runs it: the folder walk and file
# listing of "Add All" beside `find -iname '*.ps'` on the same tree.
# Usage: bench/scan.sh [--runs N] [TREE]   (without TREE a 100,000-file tree is built)
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build-bench"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target bench_scan >/dev/null
"$build/bench_scan" "$@"
