# Sourced by the smoke tests that drive a real program in a real X server (Xvfb): the checks for
# the tools, a sandbox removed at the end, an X server of its own, and the helpers they share.
# Before sourcing: `shots` (the screenshot folder), `program_label` (names the program's error
# output in a failure) and the tools besides Xvfb in `tools`. The test keeps the pid of the program
# it watches in `watched_pid` (an early end of it fails a wait) and any other in `pid`; both are
# killed at the end. The program's error output goes to "$sandbox/err".
# Exits 77 (skipped) only when Xvfb is not installed; scripts/setup.sh installs all it needs.

if ! command -v Xvfb >/dev/null; then
  echo "Xvfb is not installed: skipped"
  exit 77
fi
for tool in $tools; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/setup.sh installs it)"; exit 1; }
done

sandbox="$(mktemp -d)"
xvfb_pid="" wm_pid="" watched_pid="" pid=""
finish() {
  for p in $watched_pid $pid $wm_pid; do kill -KILL "$p" 2>/dev/null; done
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    for _ in $(seq 30); do kill -0 "$xvfb_pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$xvfb_pid" 2>/dev/null
  fi
  wait 2>/dev/null
  rm -rf "$sandbox"
}
trap finish EXIT
trap 'exit 1' INT TERM
fail() {
  echo "FAIL: $*"
  [ -s "$sandbox/err" ] && sed "s/^/  $program_label: /" "$sandbox/err"
  echo "screenshots: $shots"
  exit 1
}

# Runs "$@" every 0.2 s until it succeeds; false after `seconds`. The watched program ending on
# the way is a failure of its own.
wait_until() {
  local seconds=$1 end
  shift
  end=$(($(date +%s) + seconds))
  until "$@"; do
    if [ -n "$watched_pid" ] && ! kill -0 "$watched_pid" 2>/dev/null; then
      wait "$watched_pid"
      fail "$program_label ended early with status $?"
    fi
    [ "$(date +%s)" -ge "$end" ] && return 1
    sleep 0.2
  done
}

pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }

# A display of its own, width x height: Xvfb picks a free number and writes it once it accepts
# connections; DISPLAY is exported.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 "${1}x${2}x24" -nolisten tcp -noreset \
    3>"$sandbox/display" 2>"$sandbox/xvfb.log" &
  xvfb_pid=$!
  wait_until 10 test -s "$sandbox/display" || fail "Xvfb did not start: $(cat "$sandbox/xvfb.log")"
  export DISPLAY=":$(head -n1 "$sandbox/display")"
}

# A window manager (openbox) in that display, as on a pupil's desktop: it, not the program, has
# the last word on stacking, frames, size and closing. Returns once it has taken the screen.
start_wm() {
  openbox --sm-disable >"$sandbox/openbox.log" 2>&1 &
  wm_pid=$!
  wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
  wait_until 10 wm_running || fail "openbox did not start: $(cat "$sandbox/openbox.log")"
}

# Stops the display and the window manager of start_xvfb / start_wm, for a script that starts
# them again at another size.
stop_xvfb() {
  for p in $wm_pid $xvfb_pid; do kill "$p" 2>/dev/null; done
  for p in $wm_pid $xvfb_pid; do
    for _ in $(seq 30); do kill -0 "$p" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$p" 2>/dev/null
    wait "$p" 2>/dev/null
  done
  wm_pid="" xvfb_pid=""
  rm -f "$sandbox/display"
}
