#!/usr/bin/env bash
# The trainer's first frame against an empty maximised Qt window, started in turn in an X server
# of its own with a window manager, as a pupil's desktop has one. Prints both medians and the
# ratio (the aim is at most 1.3).
#
#   bench/first_frame.sh [BUILD_DIR] [RUNS]      (default build/release, 15 starts each)
set -euo pipefail
build="$(cd "${1:-build/release}" && pwd)"
runs="${2:-15}"
. "$(dirname "$0")/x_session.sh"

echo "screen $size, window manager openbox, $runs starts each, in turn"
"$build/bench/first_frame" --runs "$runs" -- "$build/bin/zarvo" -- "$build/bench/empty_window"
