#!/usr/bin/env bash
# scripts/install.sh into a sandbox prefix, with a sandboxed registry, Windows directory, program
# folder and home, then zarvo-uninstall --yes: afterwards the sandbox holds only what is meant to
# stay (the prefix's emptied folders and the other product's registry key).
set -uo pipefail
build="$1"
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
sandbox="$(mktemp -d)"
cleanup() {
  find "$sandbox" -name Zarvo.rez -exec chattr -a {} + 2>/dev/null
  rm -rf "$sandbox"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
[ -x "$build/bin/zarvo-uninstall" ] || { echo "zarvo-uninstall is not built"; exit 77; }

unset DISPLAY WAYLAND_DISPLAY ZARVO_CONTENT_DIR XDG_DESKTOP_DIR XDG_DATA_HOME ZARVO_LANGUAGE
export HOME="$sandbox/home" ZARVO_REGISTRY="$sandbox/etc/registry.reg"
export ZARVO_WINDIR="$sandbox/windows" ZARVO_STATE_DIR="$sandbox/state" ZARVO_NO_GROUP=1
export ZARVO_BUILD_DIR="$build"
mkdir -p "$HOME" "$ZARVO_WINDIR"
prefix="$sandbox/prefix"

"$source_dir/scripts/install.sh" --language English "$prefix" >"$sandbox/install.log" 2>&1 ||
  { fail "install.sh: $(tail -5 "$sandbox/install.log")"; exit 1; }
log="$ZARVO_STATE_DIR/Uninstall.log"
[ -s "$log" ] || fail "no Uninstall.log"
grep -q $'\r$' "$log" || fail "Uninstall.log lines are not ended by CR LF"
grep -q "^$prefix/bin/zarvo"$'\r$' "$log" || fail "Uninstall.log does not list the trainer"
[ "$(grep -c . "$log")" -gt 300 ] || fail "Uninstall.log lists only $(grep -c . "$log") files"
for f in "$HOME/Desktop/zarvo.desktop" "$HOME/.local/share/applications/ZARVO/zarvo.desktop" \
  "$HOME/.local/share/applications/ZARVO/uninstall zarvo.desktop"; do
  [ -f "$f" ] || fail "no shortcut $f"
done
grep -q "^Exec=$prefix/bin/zarvo$" "$HOME/Desktop/zarvo.desktop" || fail "the desktop shortcut runs something else"
out="$("$prefix/bin/zarvo" --print-config 2>&1)"
grep -qx "GetResultFile=$ZARVO_STATE_DIR/Zarvo.rez" <<<"$out" || fail "results file: $(grep GetResultFile <<<"$out")"
# Another product of the same maker keeps the maker key alive.
printf '\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Other]\r\n"Path"="/opt/other/"\r\n' >>"$ZARVO_REGISTRY"
printf 'block\r\n' >>"$ZARVO_STATE_DIR/Zarvo.rez"

"$prefix/bin/zarvo-uninstall" --dry-run >"$sandbox/dry" 2>&1 || fail "--dry-run: $(cat "$sandbox/dry")"
grep -q "$prefix/bin/zarvo" "$sandbox/dry" || fail "--dry-run does not list the trainer"
[ -x "$prefix/bin/zarvo" ] || fail "--dry-run deleted something"

"$prefix/bin/zarvo-uninstall" --yes >"$sandbox/un.out" 2>"$sandbox/un.err"
rc=$?
[ $rc -eq 0 ] || fail "zarvo-uninstall --yes exits with $rc: $(cat "$sandbox/un.err")"
left="$(find "$prefix" "$ZARVO_STATE_DIR" "$HOME" -type f -o -type l 2>/dev/null)"
[ -z "$left" ] || fail "files left behind: $(head -5 <<<"$left")"
[ -e "$ZARVO_STATE_DIR" ] && fail "the program folder stays"
[ -e "$HOME/.local/share/applications/ZARVO" ] && fail "the menu group folder stays"
grep -q 'Orvisoft\\Zarvo' "$ZARVO_REGISTRY" && fail "the product's registry keys stay"
grep -q 'Orvisoft\\Other' "$ZARVO_REGISTRY" || fail "the other product's key was removed"

[ $failures -eq 0 ] || exit 1
echo "install and uninstall round trip checked"
