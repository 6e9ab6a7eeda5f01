#!/usr/bin/env bash
# The real trainer in a real X server (Xvfb) with a window manager (openbox), as a pupil meets it
# at the first start: the language
# question, answered by a key; the intro picture over the whole screen; a key that takes it away
# to the selection; class, theme, variant and name by keyboard alone, and Go; and the end of the
# program. Checked with xdotool window searches and with
# screenshots compared against the bundled pictures. The screenshots stay in
# <build>/smoke-screens/ for a person to look at.
# Exits 77 (skipped) only when Xvfb is not installed (see xvfb_sandbox.bash).
set -uo pipefail
[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
build="$(cd "$1" && pwd)"
zarvo="$build/bin/zarvo"
content="$build/share/zarvo"
shots="$build/smoke-screens"
# Size class 3 (1024 x 768 pictures) with a margin around the picture, so that a picture drawn
# off centre shows.
width=1100 height=800
picture_w=1024 picture_h=768

tools="xdotool xprop xwininfo openbox import convert compare" program_label=zarvo
source "$(dirname "${BASH_SOURCE[0]}")/xvfb_sandbox.bash"

# The trainer's windows that are mapped, one id a line.
visible_windows() { xdotool search --onlyvisible --pid "$watched_pid" 2>/dev/null; }
window_size() { xdotool getwindowgeometry "$1" | sed -n 's/^ *Geometry: //p'; }
# The window takes the whole screen: by itself (full screen, no frame) or maximised with the frame
# the window manager gave it.
covers_screen() {
  local size ext l r t b
  size="$(window_size "$1")"
  [ -n "$size" ] || return 1
  [ "$size" = "${width}x${height}" ] && return 0
  ext="$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')"
  IFS=, read -r l r t b <<<"${ext:-0,0,0,0}"
  [ $((${size%x*} + l + r)) -eq "$width" ] && [ $((${size#*x} + t + b)) -eq "$height" ]
}
shot() { import -window root "$shots/$1.png"; }
# Pixels of a screenshot that differ from a bundled picture placed in the middle of the screen.
differing_pixels() {
  convert "$1" -crop "${picture_w}x${picture_h}+$(((width - picture_w) / 2))+$(((height - picture_h) / 2))" \
    +repage "$sandbox/crop.png" || return 1
  compare -metric AE "$sandbox/crop.png" "bmp:$2" null: 2>&1
}

# Only this script's own screenshots: other smoke tests keep theirs in the same folder.
rm -f "$shots"/[0-9]*-*.png "$shots"/step.png "$shots"/Zarvo.rez
mkdir -p "$shots" "$sandbox/windows" "$sandbox/home" "$sandbox/runtime" "$sandbox/content"
chmod 700 "$sandbox/runtime"

start_xvfb "$width" "$height"
start_wm

# The built content seen through links, so that whatever the trainer writes stays in the
# sandbox; no language in the registry, so the question comes.
cp -rs "$content/." "$sandbox/content/"
# A small library of the same shape as the bundled one (two of each, so that moving down a list
# finds an item), so that the session below plays a whole variant quickly.
rm -f "$sandbox/content/Zarvo.ff" "$sandbox/content/Zarvo.frf"
{
  for c in 5 6; do
    printf 'Класс: %s класс\n\n' "$c"
    for t in 1 2; do
      printf 'Тема: Тема %s\n\n' "$t"
      for v in 1 2; do
        printf 'Вариант %s: Корни и запятые\n' "$v"
        printf 'Мы пол{о|а ЛАГ}жили книги[,|@ ОЧ] тетради и ручки.\n'
        printf 'Ребята[,|@ ОБР] не шумите!\n\n'
      done
    done
  done
} >"$sandbox/smoke.ff.txt"
printf 'Правило: ЛАГ\n0Корни -лаг- и -лож-0\nпред&лаг&ать, пол&ож&ить\n\nПравило: ОЧ\n0Однородные члены0\nразделяются запятыми\n\nПравило: ОБР\n0Обращение0\nвыделяется запятыми\n' >"$sandbox/smoke.frf.txt"
"$build/bin/zarvo-content" pack "$sandbox/smoke.ff.txt" "$sandbox/content/Zarvo.ff" &&
  "$build/bin/zarvo-content" pack "$sandbox/smoke.frf.txt" "$sandbox/content/Zarvo.frf" ||
  fail "cannot pack the smoke test's library"
# Under the sanitizers, a leak inside the system's D-Bus library (which Qt loads) is not ours.
echo "leak:libdbus-1.so" >"$sandbox/lsan.supp"
export LSAN_OPTIONS="suppressions=$sandbox/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY ZARVO_SCREEN ZARVO_CONTENT_DIR
export ZARVO_REGISTRY="$sandbox/registry.reg" \
  ZARVO_WINDIR="$sandbox/windows" HOME="$sandbox/home" XDG_RUNTIME_DIR="$sandbox/runtime" \
  XDG_CONFIG_HOME="$sandbox/home/.config" XDG_DATA_HOME="$sandbox/home/.local/share"
"$zarvo" --content "$sandbox/content" >"$sandbox/zarvo.out" 2>"$sandbox/err" &
watched_pid=$!

# 1. The language question, alone, as a box in the middle of the screen. "n" answers No: Russian.
wait_until 15 visible_windows >/dev/null || { shot 1-language-question; fail "no window appeared"; }
sleep 0.3 # painted
shot 1-language-question
mapfile -t windows < <(visible_windows)
[ ${#windows[@]} -eq 1 ] || fail "${#windows[@]} windows instead of the language question alone"
question="${windows[0]}"
size="$(window_size "$question")"
if [ -z "$size" ] || [ "$size" = "${width}x${height}" ]; then fail "the language question is $size"; fi
timeout 5 xdotool windowfocus --sync "$question" || fail "the language question takes no focus"
xdotool key n

# 2. The Russian intro, whole and centred, over the main window.
intro="$content/RFPF/intro3.fpf"
intro_shown() {
  shot 2-intro
  [ "$(differing_pixels "$shots/2-intro.png" "$intro")" = "0" ]
}
wait_until 15 intro_shown ||
  fail "the intro is not on the screen: $(differing_pixels "$shots/2-intro.png" "$intro") pixels differ from $intro"
english="$(differing_pixels "$shots/2-intro.png" "$content/EFPF/intro3.fpf")"
[ "$english" -gt 0 ] 2>/dev/null || fail "the English intro is shown although the answer was Russian"
mapfile -t windows < <(visible_windows)
[ ${#windows[@]} -eq 2 ] || fail "${#windows[@]} windows with the intro up instead of the intro and the main window"
for w in "${windows[@]}"; do
  covers_screen "$w" || fail "window $w is $(window_size "$w") ($(xprop -id "$w" _NET_FRAME_EXTENTS)), not the whole screen"
done

# 3. Any key takes the intro away to the selection, over the main window and the whole screen.
xdotool key space
intro_windows=" ${windows[*]} "
# Two windows again, one of them new: the intro has gone and the selection has come.
selection_up() {
  local now
  mapfile -t now < <(visible_windows)
  [ ${#now[@]} -eq 2 ] || return 1
  [[ "$intro_windows" != *" ${now[0]} "* || "$intro_windows" != *" ${now[1]} "* ]]
}
wait_until 10 selection_up || fail "the intro did not hand over to the selection after a key"
sleep 0.3 # painted
shot 3-after-intro
mapfile -t windows < <(visible_windows)
for w in "${windows[@]}"; do
  covers_screen "$w" || fail "window $w is $(window_size "$w") ($(xprop -id "$w" _NET_FRAME_EXTENTS)), not the whole screen"
done

# 4. The selection by keyboard alone: Down opens the focused list, Down moves, Return takes the
# item, Tab goes on; then the name, and Return for Go.
# Each key waits a little: an opening list must be up before the next key is meant for it.
for list in class theme variant; do
  xdotool key --delay 200 Down Down Return Tab
done
# Letters the keymap lacks are mapped on the fly; slowly, or the first ones can be lost.
sleep 0.3
xdotool type --delay 100 "Маша"
# The column is centred: the white of the name field leaves equal margins left and right. At this
# screen width the small font has 16 x 24 cells: the field is 51 * 16 - 10 wide, 24 + 10 high, and
# stands 8 + 24 + 4 below the block's top, (height - 338) / 2. Inside its frame, which is two
# pixels wide while the field has the focus, the typed name is inked black on white.
field_w=$((51 * 16 - 10))
row=$(((height - 338) / 2 + 8 + 24 + 4 + (24 + 10) / 2))
left="" right="" ink=""
name_typed() {
  shot 4-selection
  local whites
  whites="$(convert "$shots/4-selection.png" -crop "${width}x1+0+$row" +repage txt:- |
    sed -n 's/^\([0-9]*\),0: .*#FFFFFF.*/\1/p')"
  left="$(head -n1 <<<"$whites")" right="$(tail -n1 <<<"$whites")"
  [ -n "$left" ] || return 1
  ink="$(convert "$shots/4-selection.png" -crop "200x10+$((left + 2))+$((row - 4))" +repage \
    -fill white +opaque black -format "%[fx:mean<1]" info:)"
  [ "$left" -eq $(((width - field_w) / 2 + 2)) ] && [ "$ink" = 1 ]
}
wait_until 5 name_typed || true
[ -n "$left" ] || fail "no name field in row $row of the selection"
[ "$left" -eq $((width - 1 - right)) ] || fail "the name field spans $left..$right of $width: not centred"
[ "$left" -eq $(((width - field_w) / 2 + 2)) ] || fail "the name field starts at $left, not focused where expected"
[ "$ink" = 1 ] || fail "no typed name in the name field"

# Return is Go: the selection goes and the main window stays.
xdotool key Return
selection_gone() { [ "$(visible_windows | wc -l)" -eq 1 ]; }
wait_until 10 selection_gone || { shot 5-after-go; fail "the selection did not go after Return"; }
shot 5-after-go

# A session, once the selection's Go has begun one: the button panel's edge shows under the
# example box. It ends the program through the exit question itself.
source "$(dirname "${BASH_SOURCE[0]}")/smoke_session.bash"
shot 5-session
session_w="$(visible_windows | head -n1)"
session_bottom="$(xwininfo -id "$session_w" | sed -n 's/.*Absolute upper-left Y: *//p')"
session_size="$(window_size "$session_w")"
session_bottom=$((session_bottom + ${session_size#*x}))
if [ "$(pixel "$shots/5-session.png" 5 $((session_bottom - 107)))" != "srgb(0,0,128)" ]; then
  smoke_session
  echo "desktop smoke: all checks passed; screenshots in $shots"
  exit 0
fi

# 6. The end: the program goes at once when told to terminate, without a crash.
kill -TERM "$watched_pid"
pid="$watched_pid"
watched_pid=""
# Gone, or a zombie waiting for this script to collect its status.
ended() { [ ! -e "/proc/$pid" ] || [ "$(sed 's/.*) //' "/proc/$pid/stat" | cut -d' ' -f1)" = Z ]; }
wait_until 5 ended || fail "the trainer did not end within 5 s of SIGTERM"
wait "$pid"
status=$?
[ $status -eq 143 ] || fail "the trainer ended with status $status after SIGTERM"
if grep -q "^zarvo:" "$sandbox/err"; then fail "the trainer reported an error"; fi

echo "desktop smoke: all checks passed; screenshots in $shots"
