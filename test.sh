#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
# Tests that need a real X server are labelled "x11" and run under xvfb-run.
cd build
ctest --output-on-failure --parallel "$(nproc)" -LE x11
env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -L x11 --no-tests=ignore
