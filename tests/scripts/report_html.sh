#!/usr/bin/env bash
# The teachers' report as a teacher sees it: a class of a dozen pupils in Russian, the text
# summary, the CSV files and the web page opened in a real browser, whose DOM must hold the
# tables and the bars with the expected numbers. The page's screenshot is kept in
# <build>/report-screens/.
set -uo pipefail
build="$1"
report="$build/bin/zarvo-report"
shots="$build/report-screens"
sandbox="$(mktemp -d)"
trap 'rm -rf "$sandbox"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
[ -x "$report" ] || { echo "zarvo-report is not built"; exit 77; }
mkdir -p "$shots"

# Twelve pupils, three sessions each, with mistakes that follow a pattern: every pupil but the
# last misses ЛАГ once per session, every third pupil also РАСТ, and pupil 5 is interrupted once.
names=(Аня Боря Вера Гоша Даша Егор Женя Зоя Иван Катя Лёва Маша)
{
  printf 'Файл результатов программы "Зарво"\r\n'
  for s in 1 2 3; do
    for i in "${!names[@]}"; do
      spelling=()
      [ "$i" -lt 11 ] && spelling+=(ЛАГ)
      [ $((i % 3)) -eq 0 ] && spelling+=(РАСТ)
      punctuation=()
      [ "$s" -eq 2 ] && punctuation+=(ОЧ)
      count=$((${#spelling[@]} + ${#punctuation[@]}))
      printf '\r\n0%d.12.2026 %02d:%02d:00\r\n' "$s" $((8 + s)) "$i"
      printf 'Ученик: %s\r\nКласс: 5 класс\r\nТема: 5.1. Корни с чередованием\r\n' "${names[$i]}"
      printf 'Вариант: %d. Корни лаг-лож\r\nКоличество вопросов: 24\r\n' "$s"
      printf 'Количество ошибок: %d\r\n' "$count"
      if [ ${#spelling[@]} -eq 0 ]; then printf ' орфографических ошибок нет\r\n'; else
        printf ' в том числе орфографических: %d:\r\n' ${#spelling[@]}
        for r in "${spelling[@]}"; do printf '%30s%s\r\n' '' "$r"; done
      fi
      if [ ${#punctuation[@]} -eq 0 ]; then printf ' пунктуационных ошибок нет\r\n'; else
        printf ' в том числе пунктуационных: %d:\r\n' ${#punctuation[@]}
        for r in "${punctuation[@]}"; do printf '%28s%s\r\n' '' "$r"; done
      fi
      printf 'Подсказок: 0\r\n'
      if [ "$i" -eq 4 ] && [ "$s" -eq 3 ]; then printf 'Работа прервана учеником!\r\n'
      else printf 'Оценка: %d\r\n' $((5 - count)); fi
    done
  done
} | iconv -f UTF-8 -t CP1251 >"$sandbox/Zarvo.rez" || fail "cannot write the results file"

"$report" --html "$sandbox/report.html" --csv "$sandbox/csv" "$sandbox/Zarvo.rez" \
  >"$sandbox/out.txt" 2>"$sandbox/err.txt"
rc=$?
[ $rc -eq 0 ] || fail "zarvo-report exits with $rc: $(cat "$sandbox/err.txt")"
[ -s "$sandbox/err.txt" ] && fail "warnings on a clean file: $(cat "$sandbox/err.txt")"
grep -q "Занятий: 36, учеников: 12, классов: 1" "$sandbox/out.txt" || fail "summary line: $(head -3 "$sandbox/out.txt")"
grep -Eq "^  ЛАГ +33 +11 +92%" "$sandbox/out.txt" || fail "ЛАГ weak spot: $(grep ЛАГ "$sandbox/out.txt" | head -2)"
[ "$(wc -l <"$sandbox/csv/sessions.csv")" -eq 37 ] || fail "sessions.csv rows"
grep -q "^5 класс,РАСТ,,12,4,12,0.333" "$sandbox/csv/rules.csv" || fail "rules.csv: $(cat "$sandbox/csv/rules.csv")"

browser=""
for b in chromium chromium-browser; do command -v "$b" >/dev/null && browser="$b" && break; done
if [ -z "$browser" ]; then
  echo "no chromium: the page was not opened in a browser"
  [ $failures -eq 0 ] && exit 77 || exit 1
fi
flags=(--headless --no-sandbox --disable-gpu --disable-quic --no-first-run
  --disable-background-networking --disable-component-update --disable-sync
  --user-data-dir="$sandbox/profile")
timeout 120 "$browser" "${flags[@]}" --dump-dom "file://$sandbox/report.html" \
  >"$sandbox/dom.html" 2>"$sandbox/browser.err" || fail "the browser could not open the page"
grep -q 'data-rule="ЛАГ" data-value="33"' "$sandbox/dom.html" || fail "no bar of 33 for ЛАГ"
grep -q 'data-rule="РАСТ" data-value="12"' "$sandbox/dom.html" || fail "no bar of 12 for РАСТ"
grep -q 'data-rule="ОЧ" data-value="12"' "$sandbox/dom.html" || fail "no bar of 12 for ОЧ"
[ "$(grep -o '<rect class="m' "$sandbox/dom.html" | wc -l)" -eq 36 ] || fail "not one mark bar per session"
[ "$(grep -o '<table class="sessions"' "$sandbox/dom.html" | wc -l)" -eq 1 ] || fail "sessions table"
grep -q 'Слабые места' "$sandbox/dom.html" || fail "no Russian heading"
timeout 120 "$browser" "${flags[@]}" --window-size=1000,1400 --hide-scrollbars \
  --screenshot="$shots/report.png" "file://$sandbox/report.html" >/dev/null 2>&1 ||
  fail "no screenshot"
[ -s "$shots/report.png" ] || fail "the screenshot is empty"
timeout 120 "$browser" "${flags[@]}" --window-size=400,1400 --hide-scrollbars \
  --screenshot="$shots/report-phone.png" "file://$sandbox/report.html" >/dev/null 2>&1 ||
  fail "no phone-sized screenshot"

[ $failures -eq 0 ] || exit 1
echo "report page checked; screenshots in $shots"
