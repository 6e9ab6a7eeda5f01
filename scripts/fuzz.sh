#!/usr/bin/env bash
# Runs the fuzz targets: builds the fuzz preset (clang, libFuzzer, every library instrumented
# with the address and undefined-behaviour sanitizers), then runs each target in turn, or only
# TARGET, for SECONDS each (default 60) from its checked-in corpus.
#
#   scripts/fuzz.sh [TARGET|all] [SECONDS]
#   scripts/fuzz.sh replay
#
# "replay" only builds the targets and runs each over its checked-in corpus once (the ctest
# label "fuzz"): what CI does, so that the clang build cannot break unnoticed.
#
# New inputs go to build/fuzz/corpus/TARGET (the checked-in corpus in fuzz/corpus is only read);
# a finding (crash-*, leak-*, timeout-*, oom-*) is saved in build/fuzz/findings/TARGET/ and
# makes the script fail. With ZARVO_FUZZ_MERGE=1 the inputs that reached new coverage are merged,
# minimised, into fuzz/corpus/TARGET, which ctest replays in every build.
# Not part of CI: a run takes minutes and its findings need a person.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.bash

only="${1:-all}"
seconds="${2:-60}"

packages=(clang libclang-rt-14-dev cmake ninja-build qt6-base-dev libjpeg-dev libfreetype-dev)
install_missing "${packages[@]}"

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake --preset fuzz "${launcher[@]}" >/dev/null

if [ "$only" = replay ]; then
  # Only the fuzz targets and the libraries they need: the programs and content are not built.
  cmake --build build/fuzz -j "$(nproc)" --target $(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')
  exec ctest --test-dir build/fuzz -L fuzz -j "$(nproc)" --output-on-failure --no-tests=error
fi

targets=()
for f in fuzz/fuzz_*.cpp; do
  t="$(basename "$f" .cpp)"
  if [ "$only" = all ] || [ "$only" = "$t" ]; then targets+=("$t"); fi
done
if [ "${#targets[@]}" -eq 0 ]; then
  echo "no fuzz target named $only; there are: $(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp//' | tr '\n' ' ')" >&2
  exit 2
fi
cmake --build build/fuzz -j2 --target "${targets[@]}"

# The readers' own limits on what they take in; a library input may be large.
max_len() {
  case "$1" in
    fuzz_varlib | fuzz_rulelib | fuzz_content_source) echo 65536 ;;
    fuzz_bmp | fuzz_jpeg) echo 65536 ;;
    *) echo 16384 ;;
  esac
}

export QT_QPA_PLATFORM=offscreen
# Qt keeps some allocations until exit; they are not the readers' leaks.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

failed=0
summary=()
for t in "${targets[@]}"; do
  work="build/fuzz/corpus/$t"
  findings="build/fuzz/findings/$t"
  log="build/fuzz/$t.log"
  mkdir -p "$work" "$findings"
  echo "== $t for ${seconds}s"
  rc=0
  "build/fuzz/fuzz/$t" "$work" "fuzz/corpus/$t" -max_total_time="$seconds" \
    -max_len="$(max_len "$t")" -timeout=25 -rss_limit_mb=4096 -print_final_stats=1 \
    -artifact_prefix="$findings/" >"$log" 2>&1 || rc=$?
  execs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)"
  last="$(grep -E '^#[0-9]+' "$log" | tail -1 || true)"
  cov="$(grep -o 'cov: [0-9]*' <<<"$last" | grep -o '[0-9]*' || true)"
  ft="$(grep -o 'ft: [0-9]*' <<<"$last" | grep -o '[0-9]*' || true)"
  result=ok
  if [ $rc -ne 0 ]; then
    result="FINDING (exit $rc; see $log and $findings/)"
    failed=$((failed + 1))
  elif [ "${ZARVO_FUZZ_MERGE:-0}" = 1 ]; then
    before="$(ls "fuzz/corpus/$t" | wc -l)"
    "build/fuzz/fuzz/$t" -merge=1 -max_len="$(max_len "$t")" "fuzz/corpus/$t" "$work" >>"$log" 2>&1
    result="ok, $(($(ls "fuzz/corpus/$t" | wc -l) - before)) inputs merged into fuzz/corpus/$t"
  fi
  summary+=("$(printf '%-22s %10s executions  %6s edges  %6s features  %s' "$t" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$result")")
done

echo
printf '%s\n' "${summary[@]}"
exit $failed
