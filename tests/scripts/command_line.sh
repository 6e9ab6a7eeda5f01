#!/usr/bin/env bash
# The trainer's command line as a user and an administrator meet it: --help, --version, mistakes,
# and --print-config without a display, with a registry and settings of a sandbox.
set -uo pipefail
build="$1"
zarvo="$build/bin/zarvo"
sandbox="$(mktemp -d)"
trap 'rm -rf "$sandbox"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM ZARVO_SCREEN ZARVO_CONTENT_DIR
export ZARVO_REGISTRY="$sandbox/registry.reg" ZARVO_WINDIR="$sandbox/windows" HOME="$sandbox"
mkdir -p "$sandbox/windows" "$sandbox/content"

out="$("$zarvo" --help)" || fail "--help exits with $?"
grep -q -- "--print-config" <<<"$out" || fail "--help does not mention --print-config"
[ "$("$zarvo" --version)" = "zarvo 0.1.0" ] || fail "--version prints $("$zarvo" --version)"

"$zarvo" --bogus >/dev/null 2>"$sandbox/err"; rc=$?
[ $rc -eq 2 ] || fail "an unknown option exits with $rc"
grep -q "unknown argument: --bogus" "$sandbox/err" || fail "no word on the unknown option"
"$zarvo" --content "$sandbox/none" --print-config >/dev/null 2>"$sandbox/err"; rc=$?
[ $rc -eq 2 ] || fail "a missing content directory exits with $rc"
grep -q "does not exist" "$sandbox/err" || fail "no word on the missing content directory"
"$zarvo" --content "$sandbox/content" >/dev/null 2>"$sandbox/err"; rc=$?
[ $rc -ne 0 ] || fail "the trainer claims success without a display"
grep -q -- "--print-config" "$sandbox/err" || fail "no hint at --print-config without a display"

# The settings, in their order, with the bundled content directory as the program folder.
names="$("$zarvo" --print-config 2>"$sandbox/err" | cut -d= -f1 | tr '\n' ' ')"
[ "$names" = "VarLib VarLibLength FFF Rule Result FixedClass FixedTheme Path ScreenSize GetVarLibFile GetRuleFile GetFontFile GetResultFile GetVarLibSize VarLibUnchanged RegistryLanguage " ] ||
  fail "names: $names"
[ -s "$sandbox/err" ] && fail "stderr: $(cat "$sandbox/err")"
"$zarvo" --print-config | grep -qx "Path=$(cd "$build/share/zarvo" && pwd)/" ||
  fail "the bundled Config.fcf does not make the content directory the program folder"
ZARVO_SCREEN=800x600 "$zarvo" --print-config | grep -qx "ScreenSize=2" || fail "ZARVO_SCREEN ignored"
DISPLAY=:987 "$zarvo" --print-config >"$sandbox/out" 2>"$sandbox/err" ||
  fail "an unreachable display breaks --print-config: $(cat "$sandbox/err")"
grep -qx "ScreenSize=1" "$sandbox/out" || fail "an unreachable display gave a screen size"

# Texts are printed as UTF-8, whatever the files hold in code page 1251.
printf '12345' >"$sandbox/lib.ff"
printf '[Files]\r\nVarLib=%s\r\n[VarLib]\r\nLength=5\r\nClass=5 \xea\xeb\xe0\xf1\xf1\r\n' "$sandbox/lib.ff" >"$sandbox/windows/Config.fcf"
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Language]\r\n"Language"="Russian"\r\n' >"$ZARVO_REGISTRY"
out="$("$zarvo" --print-config)" || fail "--print-config exits with $?"
grep -qx "RegistryLanguage=Russian" <<<"$out" || fail "registry language: $out"
grep -qx "FixedClass=5 класс" <<<"$out" || fail "class: $out"
rm "$sandbox/windows/Config.fcf"

# A registry value of the wrong type is an error, not a setting.
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\VarLib\\Length]\r\n"Length"="12"\r\n' >"$ZARVO_REGISTRY"
"$zarvo" --print-config >"$sandbox/out" 2>"$sandbox/err"; rc=$?
[ $rc -ne 0 ] || fail "a wrong-typed registry value exits with 0"
grep -q "Length" "$sandbox/err" || fail "no word on the wrong-typed value: $(cat "$sandbox/err")"

# A registry written by hand: comments after values, blanks after "dword:".
key='[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo'
mkdir -p "$sandbox/prog"
printf 'Windows Registry Editor Version 5.00\r\n\r\n%s\\Path]\r\n"Path"="%s/prog/" ;lab server\r\n\r\n%s\\Files\\VarLib]\r\n"VarLib"="%s/lib.ff"\r\n\r\n%s\\Files\\VarLib\\Length]\r\n"Length"=dword:  00000005 ;size\r\n' \
  "$key" "$sandbox" "$key" "$sandbox" "$key" >"$ZARVO_REGISTRY"
out="$("$zarvo" --print-config 2>"$sandbox/err")" || fail "an annotated registry exits with $?: $(cat "$sandbox/err")"
grep -qx "Path=$sandbox/prog/" <<<"$out" || fail "annotated Path: $out"
grep -qx "VarLibLength=5" <<<"$out" || fail "annotated Length: $out"

# An export from an old Russian machine: REGEDIT4, code page 1251. The keys the trainer adds keep
# the file in its code page.
printf 'REGEDIT4\r\n\r\n%s\\Files\\VarLib]\r\n"VarLib"="%s/lib.ff"\r\n\r\n%s\\Files\\VarLib\\Length]\r\n"Length"=dword:00000005\r\n\r\n%s\\Files\\VarLib\\Class]\r\n"Class"="5 \xea\xeb\xe0\xf1\xf1"\r\n' \
  "$key" "$sandbox" "$key" "$key" >"$ZARVO_REGISTRY"
out="$("$zarvo" --print-config 2>"$sandbox/err")" || fail "a REGEDIT4 registry exits with $?: $(cat "$sandbox/err")"
grep -qx "FixedClass=5 класс" <<<"$out" || fail "REGEDIT4 class: $out"
grep -q $'5 \xea\xeb\xe0\xf1\xf1' "$ZARVO_REGISTRY" || fail "the REGEDIT4 file lost its code page"
grep -q 'Files\\Result\]' "$ZARVO_REGISTRY" || fail "the REGEDIT4 file did not get the missing keys"

# A file whose bytes would not come back as they were is left alone by a command that prints.
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
cp "$source_dir/fuzz/corpus/fuzz_registry/reg_utf16_invalid.reg" "$ZARVO_REGISTRY"
chmod u+w "$ZARVO_REGISTRY"
"$zarvo" --print-config >/dev/null 2>"$sandbox/err" || fail "invalid UTF-16 exits with $?: $(cat "$sandbox/err")"
cmp -s "$source_dir/fuzz/corpus/fuzz_registry/reg_utf16_invalid.reg" "$ZARVO_REGISTRY" ||
  fail "--print-config changed a registry file holding invalid UTF-16"

# Hostile registry files: a device that never ends, a FIFO without a writer, a folder.
mkfifo "$sandbox/fifo"
for reg in /dev/zero "$sandbox/fifo" "$sandbox/prog"; do
  ZARVO_REGISTRY="$reg" timeout 60 "$zarvo" --print-config >/dev/null 2>&1; rc=$?
  [ $rc -eq 0 ] || fail "--print-config with the registry $reg exits with $rc"
done

# The content tool on the same inputs: the usual error, at once; a FIFO with a writer is read
# like a file, once.
tool="$build/bin/zarvo-content"
for cmd in "dump" "check" "pack"; do
  for input in /dev/zero "$sandbox/fifo" "$sandbox/prog"; do
    args=("$cmd" "$input")
    [ "$cmd" = pack ] && args+=("$sandbox/out.ff")
    timeout 60 "$tool" "${args[@]}" >/dev/null 2>"$sandbox/err"; rc=$?
    if [ "$input" = "$sandbox/fifo" ]; then
      # Without a writer it is an empty file: whatever the tool says of one, it says at once.
      [ $rc -le 1 ] || fail "zarvo-content ${args[*]} exits with $rc"
    else
      [ $rc -eq 1 ] || fail "zarvo-content ${args[*]} exits with $rc"
      grep -q "cannot read" "$sandbox/err" || fail "zarvo-content ${args[*]}: $(cat "$sandbox/err")"
    fi
  done
done
cat "$build/share/zarvo/Zarvo.ff" >"$sandbox/fifo" &
writer=$!
timeout 60 "$tool" dump "$sandbox/fifo" >"$sandbox/out" 2>"$sandbox/err"; rc=$?
kill "$writer" 2>/dev/null; wait "$writer" 2>/dev/null
[ $rc -eq 0 ] || fail "zarvo-content dump of a FIFO with a writer exits with $rc: $(cat "$sandbox/err")"
grep -q "^class 1:" "$sandbox/out" || fail "zarvo-content dump of a FIFO printed nothing"
truncate -s 2G "$sandbox/sparse.ff"
timeout 60 "$tool" dump "$sandbox/sparse.ff" >/dev/null 2>"$sandbox/err"; rc=$?
[ $rc -eq 1 ] && grep -q "larger than" "$sandbox/err" ||
  fail "zarvo-content dump of a 2 GB file exits with $rc: $(cat "$sandbox/err")"

if [ $failures -eq 0 ]; then echo "command line: all checks passed"; fi
exit $failures
