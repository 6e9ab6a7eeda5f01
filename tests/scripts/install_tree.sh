#!/usr/bin/env bash
# The installed shape as school IT staff get it, in sandboxes only: cmake --install into a
# staging folder, the desktop entry and AppStream file validated, the writable program folder
# set up by setup-state, and the Debian package built, inspected and unpacked, its programs run.
set -uo pipefail
build="$1"
sandbox="$(mktemp -d)"
cleanup() {
  # The results file may be append-only; the attribute has to go before the file can.
  find "$sandbox" -name Zarvo.rez -exec chattr -a {} + 2>/dev/null
  rm -rf "$sandbox"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
need() { command -v "$1" >/dev/null || { echo "$1 is missing (scripts/setup.sh installs it)"; exit 1; }; }
need desktop-file-validate
need appstreamcli
need cpack
need dpkg-deb
unset DISPLAY WAYLAND_DISPLAY ZARVO_CONTENT_DIR
export ZARVO_REGISTRY="$sandbox/registry.reg" ZARVO_WINDIR="$sandbox/windows" HOME="$sandbox/home"
mkdir -p "$sandbox/windows" "$sandbox/home"

# --- cmake --install into a staging folder --------------------------------------------------
stage="$sandbox/stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$sandbox/install.log" 2>&1 ||
  { fail "cmake --install: $(tail -5 "$sandbox/install.log")"; }
u="$stage/usr"
for f in bin/zarvo bin/zarvo-content bin/zarvo-report lib/zarvo/setup-state; do
  [ -x "$u/$f" ] || fail "$f is not installed as a program"
done
if [ -x "$build/bin/zarvo-uninstall" ]; then
  [ -x "$u/bin/zarvo-uninstall" ] || fail "zarvo-uninstall is not installed"
fi
for f in bin/zarvo-art bin/zarvo-font; do
  [ -e "$u/$f" ] && fail "the build tool $f is installed"
done
for f in Zarvo.ff Zarvo.frf Zarvo.fff Zarvo.flt Config.fcf RFPF/intro1.fpf EFPF/intro1.fpf; do
  [ -s "$u/share/zarvo/$f" ] || fail "share/zarvo/$f is missing"
done
desktop="$u/share/applications/com.orvisoft.Zarvo.desktop"
[ -f "$desktop" ] || fail "no desktop entry"
grep -q '^Name\[ru\]=Зарво$' "$desktop" || fail "the desktop entry has no Russian name"
grep -q '^Categories=Education;' "$desktop" || fail "the desktop entry is not in Education"
desktop-file-validate "$desktop" >"$sandbox/dfv" 2>&1 || fail "desktop-file-validate: $(cat "$sandbox/dfv")"
[ -s "$sandbox/dfv" ] && fail "desktop-file-validate warns: $(cat "$sandbox/dfv")"
# The teachers' editor and class report have their own menu entries, which run installed programs.
for entry in "Editor:Zarvo — упражнения:zarvo-editor" "Report:Zarvo — результаты класса:zarvo-report"; do
  IFS=: read -r kind name program <<<"$entry"
  file="$u/share/applications/com.orvisoft.Zarvo.$kind.desktop"
  grep -q "^Name\[ru\]=$name\$" "$file" || fail "no Russian menu entry \"$name\""
  desktop-file-validate "$file" >"$sandbox/dfv" 2>&1 && [ ! -s "$sandbox/dfv" ] ||
    fail "desktop-file-validate ($kind): $(cat "$sandbox/dfv")"
  [ -x "$u/bin/$program" ] || fail "$program is not installed"
done
meta="$u/share/metainfo/com.orvisoft.Zarvo.metainfo.xml"
appstreamcli validate --no-net --pedantic "$meta" >"$sandbox/asv" 2>&1 ||
  fail "appstreamcli validate: $(cat "$sandbox/asv")"
for size in 48 128 256; do
  icon="$u/share/icons/hicolor/${size}x${size}/apps/zarvo.png"
  [ -f "$icon" ] || { fail "no $size-pixel icon"; continue; }
  [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x${size}" ] || fail "$icon is not $size pixels"
done
for m in zarvo zarvo-content zarvo-report zarvo-uninstall; do
  page="$u/share/man/man1/$m.1.gz"
  [ -f "$page" ] || { fail "no man page for $m"; continue; }
  zcat "$page" | grep -q "^.SH NAME" || fail "$m.1.gz is not a man page"
done

# The staged trainer finds its content beside itself.
out="$("$u/bin/zarvo" --print-config 2>&1)" || fail "staged zarvo --print-config: $out"
grep -qx "GetVarLibFile=$u/share/zarvo/Zarvo.ff" <<<"$out" || fail "staged trainer's library: $(grep GetVarLibFile <<<"$out")"

# --- the writable program folder ------------------------------------------------------------
state="$sandbox/state"
"$u/lib/zarvo/setup-state" --content "$u/share/zarvo" --state "$state" \
  --registry "$ZARVO_REGISTRY" --no-group >"$sandbox/setup.log" 2>&1 ||
  fail "setup-state: $(cat "$sandbox/setup.log")"
[ "$(readlink "$state/Zarvo.flt")" = "$u/share/zarvo/Zarvo.flt" ] || fail "no language link in the program folder"
[ -f "$state/Zarvo.rez" ] || fail "no results file"
[ "$(stat -c %a "$state/Zarvo.rez")" = 666 ] || fail "the results file is not appendable by every account"
[ "$(stat -c %a "$state")" = 755 ] || fail "pupils could delete files in the program folder"
out="$("$u/bin/zarvo" --print-config 2>&1)"
grep -qx "Path=$state/" <<<"$out" || fail "the registry does not name the program folder: $(grep ^Path <<<"$out")"
grep -qx "GetResultFile=$state/Zarvo.rez" <<<"$out" || fail "results go elsewhere: $(grep GetResultFile <<<"$out")"
grep -qx "GetFontFile=$u/share/zarvo/Zarvo.fff" <<<"$out" || fail "font not found in the content directory: $(grep GetFontFile <<<"$out")"
if [ "$(id -u)" -eq 0 ] && lsattr -d "$state/Zarvo.rez" 2>/dev/null | grep -q '^-*a'; then
  printf 'block\r\n' >>"$state/Zarvo.rez" || fail "cannot append to the append-only results file"
  : 2>/dev/null >"$state/Zarvo.rez" && fail "the append-only results file could be emptied"
  [ -s "$state/Zarvo.rez" ] || fail "the results file was emptied"
fi
# A second run keeps the registry and the results as they are.
cp "$ZARVO_REGISTRY" "$sandbox/registry.before"
"$u/lib/zarvo/setup-state" --content "$u/share/zarvo" --state "$state" \
  --registry "$ZARVO_REGISTRY" --no-group >/dev/null 2>&1 || fail "setup-state a second time"
cmp -s "$ZARVO_REGISTRY" "$sandbox/registry.before" || fail "a second set-up rewrote the registry"

# --- the Debian package ---------------------------------------------------------------------
rm -f "$ZARVO_REGISTRY"
(cd "$sandbox" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$sandbox/deb" >"$sandbox/cpack.log" 2>&1) ||
  fail "cpack: $(tail -20 "$sandbox/cpack.log")"
deb="$(ls "$sandbox"/deb/zarvo_*.deb 2>/dev/null | head -1)"
if [ -z "$deb" ]; then
  fail "no .deb was built"
else
  [ "$(dpkg-deb -f "$deb" Package)" = zarvo ] || fail "package name"
  [ "$(dpkg-deb -f "$deb" Version)" = 0.1.0 ] || fail "version: $(dpkg-deb -f "$deb" Version)"
  [ "$(dpkg-deb -f "$deb" Section)" = education ] || fail "section"
  depends="$(dpkg-deb -f "$deb" Depends)"
  grep -q libqt6widgets6 <<<"$depends" || fail "Depends lacks Qt: $depends"
  grep -q libjpeg <<<"$depends" || fail "Depends lacks libjpeg: $depends"
  dpkg-deb -c "$deb" >"$sandbox/contents"
  for f in ./usr/bin/zarvo ./usr/bin/zarvo-content ./usr/share/zarvo/Zarvo.ff \
    ./usr/share/applications/com.orvisoft.Zarvo.desktop ./usr/share/doc/zarvo/copyright \
    ./usr/share/icons/hicolor/256x256/apps/zarvo.png ./usr/lib/zarvo/setup-state; do
    grep -q " $f\$" "$sandbox/contents" || fail "the package lacks $f"
  done
  dpkg-deb -e "$deb" "$sandbox/control"
  [ -x "$sandbox/control/postinst" ] && [ -x "$sandbox/control/postrm" ] || fail "no maintainer scripts"
  dpkg -x "$deb" "$sandbox/x"
  x="$sandbox/x/usr"
  out="$("$x/bin/zarvo" --print-config 2>&1)" || fail "unpacked zarvo --print-config: $out"
  grep -qx "GetVarLibFile=$x/share/zarvo/Zarvo.ff" <<<"$out" || fail "unpacked trainer's library: $(grep GetVarLibFile <<<"$out")"
  "$x/bin/zarvo-content" dump "$x/share/zarvo/Zarvo.ff" >"$sandbox/dump" 2>&1 || fail "unpacked zarvo-content dump: $(tail -3 "$sandbox/dump")"
  grep -q "класс" "$sandbox/dump" || fail "the dump shows no class"
fi

[ $failures -eq 0 ] || exit 1
echo "installation checked"
