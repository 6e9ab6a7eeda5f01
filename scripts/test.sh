#!/usr/bin/env bash
# Sets up and builds everything, then runs the whole test suite through ctest.
# "scripts/test.sh asan" does the same under the address/undefined-behaviour sanitizers. The
# default run also builds the fuzz targets with clang and replays their corpora (scripts/fuzz.sh
# replay), so that the whole tree keeps building with both compilers.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
scripts/setup.sh "$preset"
# Tests never need the developer's display; the e2e scripts start their own X server.
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=offscreen
ctest --preset "$preset" -j "$(nproc)"
if [ "$preset" = default ]; then
  scripts/fuzz.sh replay
fi
