#!/usr/bin/env bash
# scripts/install.sh in a sandbox: install, a session, zarvo-uninstall --yes, install again (the
# registry the Uninstaller emptied gets its values back), then scripts/uninstall.sh
# --keep-results (only the results file stays), install again (the kept blocks are there), and
# scripts/uninstall.sh (nothing stays). The results blocks and the registry are checked after
# each step.
set -uo pipefail
build="$(cd "$1" && pwd)"
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
[ -x "$build/bin/zarvo-uninstall" ] || { echo "zarvo-uninstall is not built"; exit 77; }
sandbox="$(mktemp -d)"
cleanup() {
  find "$sandbox" -name Zarvo.rez -exec chattr -a {} + 2>/dev/null
  rm -rf "$sandbox"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
unset DISPLAY WAYLAND_DISPLAY ZARVO_CONTENT_DIR XDG_DESKTOP_DIR XDG_DATA_HOME ZARVO_LANGUAGE
export HOME="$sandbox/home" ZARVO_REGISTRY="$sandbox/etc/zarvo/registry.reg"
export ZARVO_WINDIR="$sandbox/etc/zarvo" ZARVO_STATE_DIR="$sandbox/var/zarvo" ZARVO_NO_GROUP=1
export ZARVO_BUILD_DIR="$build"
# /etc and /var/lib are there on every system.
mkdir -p "$HOME" "$sandbox/etc" "$sandbox/var"
prefix="$sandbox/prefix"
state="$ZARVO_STATE_DIR"

value() { "$build/bin/zarvo-setup-registry" get "\\SOFTWARE\\Orvisoft\\Zarvo\\$1" "${1##*\\}"; }
blocks() { if [ -f "$state/Zarvo.rez" ]; then grep -c '^Pupil: ' "$state/Zarvo.rez"; else echo 0; fi; }
install() {
  "$source_dir/scripts/install.sh" "$prefix" >"$sandbox/install.log" 2>&1 ||
    fail "$step: install.sh: $(tail -5 "$sandbox/install.log")"
}
session() {
  local config file
  config="$("$prefix/bin/zarvo" --print-config 2>&1)"
  grep -qx "GetResultFile=$state/Zarvo.rez" <<<"$config" || fail "$step: results file: $(grep GetResultFile <<<"$config")"
  grep -qx "RegistryLanguage=Russian" <<<"$config" || fail "$step: the language would be asked"
  file="$(sed -n 's/^GetResultFile=//p' <<<"$config")"
  printf '\r\n01.09.2025 10:00:00\r\nPupil: %s\r\nMark: 5\r\n' "$1" >>"$file" || fail "$step: cannot append"
}
expect() { # blocks
  [ "$(blocks)" = "$1" ] || fail "$step: $(blocks) result blocks, not $1"
  [ "$(value Path)" = "$state/" ] || fail "$step: registry Path is '$(value Path)'"
  [ "$(value 'Files\Result')" = Zarvo.rez ] || fail "$step: registry Files\\Result is '$(value 'Files\Result')'"
  [ "$(value Language)" = Russian ] || fail "$step: registry Language is '$(value Language)'"
  [ -z "$(value Package)" ] || fail "$step: registry names a package"
}

step="install"
install
[ -f "$HOME/Desktop/Зарво.desktop" ] || fail "$step: no Russian desktop shortcut"
session Ann
expect 1
# Another product of the maker shares the registry file.
printf '\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Other]\r\n"Path"="/opt/other/"\r\n' >>"$ZARVO_REGISTRY"

step="zarvo-uninstall --yes"
"$prefix/bin/zarvo-uninstall" --yes >/dev/null 2>"$sandbox/err" || fail "$step: $(cat "$sandbox/err")"
[ -e "$state/Zarvo.rez" ] && fail "$step kept the results"
step="reinstall after the Uninstaller"
install
expect 0
session Boris
expect 1
grep -q 'Orvisoft\\Other' "$ZARVO_REGISTRY" || fail "$step lost the other product's key"

step="uninstall.sh --keep-results"
"$source_dir/scripts/uninstall.sh" --keep-results "$prefix" >/dev/null 2>"$sandbox/err" || fail "$step: $(cat "$sandbox/err")"
left="$(cd "$sandbox" && find prefix home etc var 2>/dev/null | sort | tr '\n' ' ')"
# The other product's key keeps the registry file (and its lock).
[ "$left" = "etc etc/zarvo etc/zarvo/registry.reg etc/zarvo/registry.reg.lock home var var/zarvo var/zarvo/Zarvo.rez " ] ||
  fail "$step left: ${left:0:400}"
step="reinstall over kept results"
install
expect 1
session Vera
expect 2

step="uninstall.sh"
# Only the other product's key keeps the registry file: without it, nothing stays.
"$build/bin/zarvo-setup-registry" delete '\SOFTWARE\Orvisoft\Other'
"$source_dir/scripts/uninstall.sh" "$prefix" >/dev/null 2>"$sandbox/err" || fail "$step: $(cat "$sandbox/err")"
left="$(cd "$sandbox" && find prefix home etc var 2>/dev/null | sort | tr '\n' ' ')"
[ "$left" = "etc home var " ] || fail "$step left: ${left:0:400}"

[ $failures -eq 0 ] || exit 1
echo "install.sh, Uninstaller, reinstall, uninstall.sh with and without the results checked"
