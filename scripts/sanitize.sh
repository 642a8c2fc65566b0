#!/usr/bin/env bash
# The second build: clang with AddressSanitizer and UndefinedBehaviorSanitizer
# (and libFuzzer's coverage) in build-san/. Runs every headless test there,
# then each libFuzzer target for a few seconds from its checked-in seeds.
# Usage: scripts/sanitize.sh [FUZZ_SECONDS_PER_TARGET]   (longer by hand: 600)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}
cmake -S . -B build-san -DVELMORA_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-san --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-san && ctest --output-on-failure --parallel "$(nproc)" -LE x11)

for source in fuzz/*_fuzz.cpp; do
    name=$(basename "$source" _fuzz.cpp)
    found=$(mktemp -d)
    # New inputs go to a scratch folder; the seeds stay as checked in.
    if ! "build-san/fuzz_$name" -max_total_time="$seconds" "$found" "fuzz/corpus/$name" \
        >"$found.log" 2>&1; then
        tail -40 "$found.log"
        echo "fuzz_$name: crashed (the input is in the log above)"
        exit 1
    fi
    echo "fuzz_$name: $(grep -E '^Done [0-9]+ runs' "$found.log" | tail -1), no crash"
    rm -rf "$found" "$found.log"
done
