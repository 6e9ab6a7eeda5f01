#!/usr/bin/env bash
# The real Uninstaller in a real X server (Xvfb) on a sandbox installation: a dry run first (it
# lists and deletes nothing), then three runs answered with xdotool keys: No (everything stays),
# Yes with the menu folder unknown (the re-install advice while the pie shows 23 %), and Yes (the
# full red disc and "100%" after the completion box has covered the window and moved away).
# The screenshots stay in <build>/smoke-screens/uninstall-*.png for a person to look at.
# Exits 77 (skipped) only when Xvfb is not installed (see xvfb_sandbox.bash).
set -uo pipefail
[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
build="$(cd "$1" && pwd)"
uninstall="$build/bin/zarvo-uninstall"
shots="$build/smoke-screens"
width=1024 height=768
win_w=400 win_h=300

tools="xdotool import convert" program_label=zarvo-uninstall
source "$(dirname "${BASH_SOURCE[0]}")/xvfb_sandbox.bash"

# A fresh installation: registry, system folder, program folder with 12 listed files (one in
# the picture folder), results file, desktop and menu shortcuts.
install() {
  rm -rf "$sandbox/inst"
  local p="$sandbox/inst/prog" i log=""
  mkdir -p "$sandbox/inst/windows" "$p/EFPF" "$sandbox/inst/home/Desktop" \
    "$sandbox/inst/home/.local/share/applications/ZARVO"
  echo "[Files]" >"$sandbox/inst/windows/Config.fcf"
  for i in $(seq 0 11); do
    if [ "$i" -eq 0 ]; then f="$p/EFPF/intro3.fpf"; else f="$p/file$i.dat"; fi
    echo "$i" >"$f"
    log+="$f"$'\r\n'
  done
  printf '%s' "$log" >"$p/Uninstall.log"
  echo results >"$p/Zarvo.rez"
  chmod 444 "$p/Zarvo.rez"
  for f in "$sandbox/inst/home/Desktop/zarvo.desktop" \
    "$sandbox/inst/home/.local/share/applications/ZARVO/zarvo.desktop" \
    "$sandbox/inst/home/.local/share/applications/ZARVO/uninstall zarvo.desktop"; do
    echo "[Desktop Entry]" >"$f"
  done
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Path]\r\n"Path"="%s/"\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Language]\r\n"Language"="English"\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\Result]\r\n"Result"="Zarvo.rez"\r\n' \
    "$p" >"$sandbox/inst/registry.reg"
  export ZARVO_REGISTRY="$sandbox/inst/registry.reg" ZARVO_WINDIR="$sandbox/inst/windows" \
    HOME="$sandbox/inst/home" XDG_DATA_HOME="$sandbox/inst/home/.local/share"
  unset XDG_DESKTOP_DIR
}
snapshot() { (cd "$sandbox/inst" && find . -printf '%p %m\n' | sort && cat registry.reg); }

start() {
  "$uninstall" >"$sandbox/out" 2>"$sandbox/err" &
  pid=$!
}
# Waits for the program's end and gives its status.
ended_with() {
  local expected=$1
  wait_until 10 sh -c "[ ! -e /proc/$pid ] || grep -q '^[^ ]* ([^)]*) Z' /proc/$pid/stat 2>/dev/null" ||
    fail "the Uninstaller did not end"
  wait "$pid"
  local status=$?
  pid=""
  [ $status -eq "$expected" ] || fail "the Uninstaller ended with status $status"
}
# The id of the visible window whose whole caption matches this regular expression.
window_named() { xdotool search --all --onlyvisible --pid "$pid" --name "^$1\$" 2>/dev/null | head -n1; }
answer() { # caption key
  local w
  wait_until 15 sh -c "xdotool search --all --onlyvisible --pid $pid --name '^$1\$' >/dev/null 2>&1" ||
    { import -window root "$shots/uninstall-failed.png"; fail "no box \"$1\" appeared"; }
  w="$(window_named "$1")"
  sleep 0.3
  timeout 5 xdotool windowfocus --sync "$w" || fail "the box \"$1\" takes no focus"
  xdotool key "$2"
}
# Moves a box below the progress window, so that the window is seen whole.
move_aside() {
  local w
  w="$(window_named "$1")"
  [ -n "$w" ] || fail "no box \"$1\" to move"
  xdotool windowmove --sync "$w" 0 $((height - 150)) || fail "the box \"$1\" cannot be moved"
  sleep 0.5
}
# Checks a pixel of the progress window's client area (x, y relative to it) in a screenshot.
expect_pixel() { # screenshot x y colour what
  local got
  got="$(pixel "$1" $((win_x + $2)) $((win_y + $3)))"
  [ "$got" = "$4" ] || fail "$5: pixel ($2, $3) of the window is $got, not $4"
}
crop_window() { convert "$1" -crop "${win_w}x${win_h}+${win_x}+${win_y}" +repage "$2"; }
red="srgb(255,0,0)" grey="srgb(192,192,192)" black="srgb(0,0,0)"
# The box (WxH+X+Y, X relative to the window) of the dark pixels in the band of the number,
# away from the ellipse's outline at both ends of the band.
dark_box() { # screenshot
  local box
  box="$(convert "$1" -crop "$((win_w - 40))x20+$((win_x + 20))+$((win_y + win_h / 2 - 10))" +repage \
    -threshold 10% -negate -format "%@" info: 2>/dev/null)"
  # Nothing dark: an empty box.
  [ -n "$box" ] && [ "${box%%x*}" != 0 ] || return
  local x="${box#*+}"
  echo "${box%%+*}+$((${x%%+*} + 20))+${x#*+}"
}

mkdir -p "$shots" "$sandbox/runtime"
rm -f "$shots"/uninstall-*.png
chmod 700 "$sandbox/runtime"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY ZARVO_SCREEN
export XDG_RUNTIME_DIR="$sandbox/runtime"
# Under the sanitizers: the session bus library that Qt loads keeps a buffer until exit, which
# is not ours to free.
echo "leak:libdbus-1.so" >"$sandbox/lsan.supp"
export LSAN_OPTIONS="suppressions=$sandbox/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# 0. The dry run lists the installation and deletes nothing; it needs no display.
install
before="$(snapshot)"
DISPLAY= "$uninstall" --dry-run >"$sandbox/out" 2>"$sandbox/err" || fail "--dry-run exited with $?"
[ "$(wc -l <"$sandbox/out")" -eq 27 ] || fail "--dry-run listed $(wc -l <"$sandbox/out") lines: $(cat "$sandbox/out")"
grep -qx "$sandbox/inst/prog/" "$sandbox/out" || fail "--dry-run does not list the program folder"
[ "$(snapshot)" = "$before" ] || fail "--dry-run changed the installation"

start_xvfb "$width" "$height"
win_x=$(((width - win_w) / 2)) win_y=$(((height - win_h) / 2))

# 1. No leaves everything as it was.
start
answer "Zarvo: Uninstall[?]" n
ended_with 0
[ "$(snapshot)" = "$before" ] || fail "No changed the installation"

# 2. Yes with no menu folder to be found: the steps stop before the shortcuts with the advice,
# while the pie shows 5 + 3 + 10 + 5 = 23 %.
install
HOME= XDG_DATA_HOME= start
answer "Zarvo: Uninstall[?]" Return
wait_until 15 sh -c "xdotool search --all --onlyvisible --pid $pid --name '^Zarvo\$' >/dev/null 2>&1" ||
  fail "no error box after the confirmation"
move_aside Zarvo
import -window root "$shots/uninstall-23-screen.png"
crop_window "$shots/uninstall-23-screen.png" "$shots/uninstall-23.png"
main="$(window_named "Zarvo: Uninstall")"
[ -n "$main" ] || fail "the progress window is not shown"
[ "$(xdotool getwindowgeometry "$main" | sed -n 's/^ *Geometry: //p')" = "${win_w}x${win_h}" ] ||
  fail "the progress window is not ${win_w}x${win_h}"
# 23 % is 82.8 degrees clockwise from 12 o'clock.
expect_pixel "$shots/uninstall-23-screen.png" 0 0 "$grey" "23 %"
expect_pixel "$shots/uninstall-23-screen.png" 290 90 "$red" "23 %, inside the sector"
expect_pixel "$shots/uninstall-23-screen.png" 110 210 "$grey" "23 %, outside the sector"
expect_pixel "$shots/uninstall-23-screen.png" 0 150 "$black" "23 %, the outline"
[ -n "$(dark_box "$shots/uninstall-23-screen.png")" ] || fail "no number at 23 %"
[ -e "$sandbox/inst/home/.local/share/applications/ZARVO/zarvo.desktop" ] ||
  fail "the error did not stop the steps"
[ ! -e "$sandbox/inst/prog" ] || fail "the program folder was not removed before the error"
xdotool key Return
ended_with 0

# 3. Yes: everything goes; the completion box covers the window, and once it has moved away
# the window shows the full disc and "100%".
install
start
answer "Zarvo: Uninstall[?]" Return
wait_until 15 sh -c "xdotool search --all --onlyvisible --pid $pid --name '^Zarvo\$' >/dev/null 2>&1" ||
  fail "no completion box"
move_aside Zarvo
import -window root "$shots/uninstall-100-screen.png"
crop_window "$shots/uninstall-100-screen.png" "$shots/uninstall-100.png"
for xy in "200 40" "200 260" "40 150" "360 150" "120 80" "290 220"; do
  expect_pixel "$shots/uninstall-100-screen.png" $xy "$red" "100 %"
done
expect_pixel "$shots/uninstall-100-screen.png" 2 2 "$grey" "100 %, the corner"
box="$(dark_box "$shots/uninstall-100-screen.png")" # WxH+X+Y of the number's pixels
[ -n "$box" ] || fail "no number at 100 %"
nw="${box%%x*}" nx="$(cut -d+ -f2 <<<"$box")"
centre=$((2 * nx + nw))
[ "$centre" -ge $((win_w - 4)) ] && [ "$centre" -le $((win_w + 4)) ] ||
  fail "the number ($box) is not centred"
xdotool key Return
ended_with 0
left="$(cd "$sandbox/inst" && find . -mindepth 1 | sort | tr '\n' ' ')"
[ "$left" = "./home ./home/.local ./home/.local/share ./home/.local/share/applications ./home/Desktop ./registry.reg ./registry.reg.lock ./windows " ] ||
  fail "left behind: $left"
grep -q Orvisoft "$sandbox/inst/registry.reg" && fail "the product keys are still there"

echo "uninstall smoke: all checks passed; screenshots in $shots/uninstall-*.png"
