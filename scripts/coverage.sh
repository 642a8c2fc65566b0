#!/usr/bin/env bash
# Measures how much of the program the whole suite runs: a GCC --coverage
# build at -O0 in build-coverage/, every test there (offscreen, then the X11
# ones under xvfb-run, as ./test.sh runs them), then gcovr over base/,
# convert/, filelist/, app/ and cli/. Branches that cannot be reached or that
# only an exception takes are left out. Prints one line each for line and
# branch coverage.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=build-coverage
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=g++ \
    -DCMAKE_CXX_FLAGS="--coverage -O0 -g" >/dev/null
nice cmake --build "$build" -j2

# Counts from an earlier run would add to this one's. A failing test still
# leaves its counts, so the figures are printed before the script fails.
find "$build" -name '*.gcda' -delete
failed=0
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 -LE x11) || failed=1
(cd "$build" && xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --output-on-failure -L x11 --no-tests=ignore) || failed=1

# CMake's compiler probe is built with the same flags but never run: left out.
# gcovr replaces its output file rather than writing into it, so the report
# goes to a file of the build's (never /dev/null, which it would replace).
summary=$(gcovr --root . --object-directory "$build" \
    --filter 'base/' --filter 'convert/' --filter 'filelist/' --filter 'app/' --filter 'cli/' \
    --exclude-directories '.*/CompilerIdCXX' \
    --exclude-unreachable-branches --exclude-throw-branches -j 2 --print-summary -o "$build/coverage.txt" "$build")
echo "$summary" | grep -oE '^(lines|branches): [0-9.]+' | sed -E 's/([0-9.]+)$/\1 %/'
exit "$failed"
