# Sourced by the start-up benchmarks: a sandbox whose registry names the language (so that the
# trainer's first window is its intro, not the language question), a runtime folder of its own
# (the single-instance lock), and an X server of its own with a window manager, as a pupil's
# desktop has one. Sets $sandbox and $DISPLAY; everything goes when the script exits.
for tool in Xvfb openbox xdpyinfo; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is not installed" >&2; exit 2; }
done
size="${ZARVO_BENCH_SCREEN:-1280x1024}"
sandbox="$(mktemp -d)"
cleanup() {
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$sandbox"
}
trap cleanup EXIT

printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Language]\r\n"Language"="Russian"\r\n' \
  >"$sandbox/registry.reg"
mkdir -m 700 "$sandbox/run"
export ZARVO_REGISTRY="$sandbox/registry.reg" ZARVO_WINDIR="$sandbox/windows" XDG_RUNTIME_DIR="$sandbox/run"
export HOME="$sandbox" QT_QPA_PLATFORM=xcb

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
wm=$!
sleep 1
