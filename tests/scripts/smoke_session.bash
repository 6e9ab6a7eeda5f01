# Sourced by desktop_smoke.sh; smoke_session runs once the selection's Go has begun a session.
# A whole variant by keys alone to the results screen (the first answer wrong on purpose), F3 and
# a round of work on mistakes to its own results, a key back to the selection and Return for the
# same choices again, then Esc and "3" on the exit question, which ends the program; the
# results file must hold the session's block, the round's and the interrupted one. The first screenshot of
# every state stays in the screenshot folder. Uses desktop_smoke.sh's helpers and variables.

smoke_session() {
  local main step top text main_x main_y main_size
  local navy="srgb(0,0,128)"
  local results_file="$sandbox/content/Zarvo.rez"
  mapfile -t windows < <(visible_windows)
  [ ${#windows[@]} -eq 1 ] || fail "${#windows[@]} windows when the session began"
  main="${windows[0]}"
  rm -f "$results_file"
  # The main window's client area on the screen, below the frame's title bar (xwininfo: xdotool
  # counts a frame's offset twice).
  absolute() { xwininfo -id "$2" | sed -n "s/.*Absolute upper-left $1: *//p"; }
  main_x="$(absolute X "$main")" main_y="$(absolute Y "$main")"
  main_size="$(window_size "$main")"
  local box_bottom=$((main_y + ${main_size#*x} - 108))

  # The rule window is the window manager's utility (tool) window; the pictures over the exercise
  # (praise, right answer, slip) and the exit question are the other windows.
  others() { visible_windows | grep -vx "$main"; }
  is_rule() { xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_UTILITY; }
  rule_up() {
    local w
    for w in $(others); do is_rule "$w" && return 0; done
    return 1
  }
  pictures() {
    local w
    for w in $(others); do is_rule "$w" || echo "$w"; done
  }
  picture_up() { [ -n "$(pictures)" ]; }
  # The example box's top-left corner is navy; the results picture is not.
  on_results() { shot step && [ "$(pixel "$shots/step.png" $((main_x + 5)) $((main_y + 5)))" != "$navy" ]; }
  seen=" "
  keep() {
    [[ "$seen" == *" $1 "* ]] && return 0
    seen+="$1 "
    sleep 0.3 # painted
    shot "$1"
  }

  # Answers until the results are up: F5 takes the first button and Return accepts; an example
  # done takes F5 as nothing and Return as Further. `$1` names the screenshots of this run.
  play_to_results() {
    for step in $(seq 150); do
      if picture_up; then
        top="$(absolute Y "$(pictures | head -n1)")"
        # The right answer stands just below the example box, the praise in the middle
        # (a frame, if the window manager gave one, puts the picture a title bar lower).
        if [ "$top" -ge "$box_bottom" ] && [ "$top" -le $((box_bottom + 40)) ]; then
          keep "9-right-answer$1"
        else
          keep "10-praise$1"
        fi
        xdotool key space
      elif on_results; then
        return 0
      else
        rule_up && keep "8-rule$1"
        xdotool key F5
        sleep 0.2
        [ "$step" -eq 1 ] && keep "7-confirming$1"
        xdotool key Return
        sleep 0.3
      fi
      sleep 0.2
    done
    return 1
  }

  sleep 0.5
  keep 6-choosing
  # "f" types the Cyrillic "а" here: wrong at "пол_жили", so that the session has a mistake.
  xdotool key f
  sleep 0.2
  xdotool key Return
  sleep 0.3
  play_to_results ""
  on_results || fail "no results screen after $step steps"
  keep 11-results
  [[ "$seen" == *" 9-right-answer "* ]] || echo "note: no right-answer picture in this session"
  [[ "$seen" == *" 8-rule "* ]] || echo "note: no rule window in this session"
  [ -s "$results_file" ] || fail "no results file at $results_file after the session"
  text="$(iconv -f CP1251 -t UTF-8 "$results_file")"
  [ "$(head -n1 <<<"$text" | tr -d '\r')" = 'Файл результатов программы "Зарво"' ] ||
    fail "the results file begins: $(head -n1 <<<"$text")"
  [ "$(grep -c '^Ученик: Маша' <<<"$text")" -eq 1 ] || fail "not one block for Маша: $text"
  grep -q '^\(Оценка: [2-5]\|Без оценки - тренировочный режим!\)'$'\r''$' <<<"$text" ||
    fail "the block ends with no mark line: $text"

  # F3 on results with a mistake: a round of the sentences with mistakes, to its own results and
  # its own block, named after the variant.
  xdotool key F3
  off_results() { ! on_results; }
  wait_until 5 off_results || fail "F3 on the results started no round"
  keep 11a-round
  play_to_results "-round" || fail "no results screen at the end of the round"
  keep 11b-round-results
  text="$(iconv -f CP1251 -t UTF-8 "$results_file")"
  [ "$(grep -c '^Ученик: Маша' <<<"$text")" -eq 2 ] || fail "not two blocks after the round: $text"
  grep -q '^Вариант: Работа над ошибками: ' <<<"$text" || fail "no round block: $text"

  # A key on the results goes back to the selection with the same choices: Return is Go again.
  xdotool key a
  wait_until 10 selection_open || fail "no selection after a key on the results"
  sleep 0.5
  shot 12-selection-again
  xdotool key Return
  wait_until 10 selection_closed || fail "Return did not start the same variant again"
  sleep 0.5
  on_results && fail "the results are still shown in the second session"
  # Esc, then "3" on the exit question: the interrupted block, and the program ends.
  xdotool key Escape
  wait_until 5 picture_up || fail "no exit question after Esc"
  sleep 0.3
  shot 13-exit-question
  xdotool key 3
  pid="$watched_pid"
  watched_pid=""
  ended() { [ ! -e "/proc/$pid" ] || [ "$(sed 's/.*) //' "/proc/$pid/stat" 2>/dev/null | cut -d' ' -f1)" = Z ]; }
  wait_until 10 ended || fail "the trainer did not end after option 3"
  wait "$pid"
  local status=$?
  [ $status -eq 0 ] || fail "the trainer ended with status $status after option 3"
  text="$(iconv -f CP1251 -t UTF-8 "$results_file")"
  [ "$(grep -c '^Ученик: Маша' <<<"$text")" -eq 3 ] || fail "not three blocks: $text"
  [ "$(tail -n1 <<<"$text" | tr -d '\r')" = 'Работа прервана учеником!' ] ||
    fail "the second block is not marked interrupted: $text"
  cp "$results_file" "$shots/Zarvo.rez"
}
selection_open() { [ "$(visible_windows | wc -l)" -eq 2 ]; }
selection_closed() { [ "$(visible_windows | wc -l)" -eq 1 ]; }
