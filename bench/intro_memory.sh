#!/usr/bin/env bash
# Peak memory of the trainer at its intro with the content the build bundles: the trainer is
# started in an X server of its own, left at the intro until what the intro does not show has
# loaded too, and its peak resident size (VmHWM) is read before it is ended. Prints the median of
# the starts beside the aim of 80 MB.
#
#   bench/intro_memory.sh [BUILD_DIR] [RUNS]     (default build/release, 3 starts)
set -euo pipefail
build="$(cd "${1:-build/release}" && pwd)"
runs="${2:-3}"
command -v xdotool >/dev/null || { echo "$0: xdotool is not installed" >&2; exit 2; }
. "$(dirname "$0")/x_session.sh"

peaks=()
for _ in $(seq "$runs"); do
  "$build/bin/zarvo" >/dev/null 2>&1 &
  pid=$!
  # The intro is up once a window of the process is mapped; the rest loads right after it.
  if ! timeout 20 xdotool search --sync --onlyvisible --pid "$pid" >/dev/null 2>&1; then
    kill "$pid" 2>/dev/null
    echo "$0: the trainer showed no window in 20 s" >&2
    exit 1
  fi
  sleep 2
  kb=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  peaks+=("$kb")
  sleep 0.3
done
median=$(printf '%s\n' "${peaks[@]}" | sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}')
content="$build/share/zarvo"
echo "screen $size, content $content ($(du -sk "$content" | cut -f1) KB), $runs starts"
awk -v kb="$median" -v all="${peaks[*]}" 'BEGIN {
  printf "peak memory at the intro: median %.1f MB (starts: %s kB), aim at most 80 MB: %s\n",
         kb / 1024, all, kb / 1024 <= 80 ? "met" : "NOT met" }'
