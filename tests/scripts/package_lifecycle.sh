#!/usr/bin/env bash
# A lab's year with the Debian package, in a sandbox root that dpkg installs into (its maintainer
# scripts run with the sandbox's paths through DPKG_ROOT): install, the Uninstaller (which
# refuses and names the package's commands), an upgrade, a removal and a reinstall, then a
# purge. After each step the results file's blocks and the registry are checked; a pupil's
# session is an append by an unprivileged account to the file the installed trainer names, seen
# through /var/lib in a private mount namespace. Needs root (dpkg, groups, mounts): skipped
# otherwise.
set -uo pipefail
build="$(cd "$1" && pwd)"
[ "$(id -u)" -eq 0 ] || { echo "skipped: needs root for dpkg --root and mounts"; exit 77; }
for t in cpack dpkg dpkg-deb unshare setpriv groupadd; do
  command -v $t >/dev/null || { echo "$t is missing (scripts/setup.sh installs it)"; exit 1; }
done
sandbox="$(mktemp -d)"
chmod 0755 "$sandbox"
cleanup() {
  find "$sandbox" -name Zarvo.rez -exec chattr -a {} + 2>/dev/null
  rm -rf "$sandbox"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
unset DISPLAY WAYLAND_DISPLAY ZARVO_CONTENT_DIR ZARVO_LANGUAGE ZARVO_WINDIR
export HOME="$sandbox/home"
mkdir -p "$HOME"

(cd "$sandbox" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$sandbox/deb" >"$sandbox/cpack.log" 2>&1) ||
  { echo "cpack: $(tail -20 "$sandbox/cpack.log")"; exit 1; }
deb="$(ls "$sandbox"/deb/zarvo_*.deb | head -1)"
# The upgrade: the same tree as a newer version.
dpkg-deb -R "$deb" "$sandbox/newer"
sed -i 's/^Version: .*/Version: 99.0.0/' "$sandbox/newer/DEBIAN/control"
dpkg-deb -b "$sandbox/newer" "$sandbox/zarvo_99.deb" >/dev/null || { echo "cannot build the newer package"; exit 1; }

dpkg-deb -c "$deb" >"$sandbox/contents"
grep -q '/usr/lib/zarvo/zarvo-setup-registry$' "$sandbox/contents" || fail "the package lacks the registry helper"
dpkg-deb -x "$deb" "$sandbox/x"
grep -l zarvo-uninstall -r "$sandbox/x/usr/share/applications" >/dev/null 2>&1 &&
  fail "the package installs an uninstall menu entry"

root="$sandbox/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/etc"
: >"$root/var/lib/dpkg/status"
: >"$root/var/lib/dpkg/available"
printf 'root:x:0:\n' >"$root/etc/group"
printf 'root:*::\n' >"$root/etc/gshadow"
printf 'root:x:0:0:root:/root:/bin/sh\n' >"$root/etc/passwd"
dpkg_() {
  dpkg --root="$root" --force-script-chrootless --force-depends --force-not-root \
    --log="$sandbox/dpkg.log" "$@" >>"$sandbox/dpkg.out" 2>&1 || fail "dpkg $*: $(tail -5 "$sandbox/dpkg.out")"
}
registry="$root/etc/zarvo/registry.reg"
value() { "$build/bin/zarvo-setup-registry" --registry "$registry" get "\\SOFTWARE\\Orvisoft\\Zarvo\\$1" "${1##*\\}"; }
blocks() { grep -c '^Pupil: ' "$root/var/lib/zarvo/Zarvo.rez" 2>/dev/null || true; }
# Runs a command with the sandbox's /var/lib/zarvo at its real place and the sandbox's registry.
in_lab() {
  unshare -m bash -c 'mount -t tmpfs tmpfs /var/lib && mkdir /var/lib/zarvo &&
    mount --bind "$0/var/lib/zarvo" /var/lib/zarvo && exec "$@"' "$root" \
    env ZARVO_REGISTRY="$registry" "$@"
}
# The installed trainer's own view, then a pupil (not root) appends a block where it says.
session() { # pupil name
  local config file
  config="$(in_lab timeout 20 "$root/usr/bin/zarvo" --print-config 2>&1)"
  grep -qx "Path=/var/lib/zarvo/" <<<"$config" || fail "$1: program folder: $(grep ^Path <<<"$config")"
  grep -qx "GetResultFile=/var/lib/zarvo/Zarvo.rez" <<<"$config" ||
    fail "$1: results file: $(grep GetResultFile <<<"$config")"
  # The language question comes only when the registry has no language.
  grep -qx "RegistryLanguage=Russian" <<<"$config" || fail "$1: the language would be asked: $(grep RegistryLanguage <<<"$config")"
  file="$(sed -n 's/^GetResultFile=//p' <<<"$config")"
  in_lab setpriv --reuid=65534 --regid=65534 --clear-groups \
    sh -c 'printf "\r\n01.09.2025 10:00:00\r\nPupil: %s\r\nMark: 5\r\n" "$1" >>"$2"' - "$1" "$file" ||
    fail "$1: a pupil cannot append to the results file"
}
expect() { # blocks package
  [ "$(blocks)" = "$1" ] || fail "$step: $(blocks) result blocks, not $1"
  [ "$(value Path)" = /var/lib/zarvo/ ] || fail "$step: registry Path is '$(value Path)'"
  [ "$(value 'Files\Result')" = Zarvo.rez ] || fail "$step: registry Files\\Result is '$(value 'Files\Result')'"
  [ "$(value Language)" = Russian ] || fail "$step: registry Language is '$(value Language)'"
  [ "$(value Package)" = "$2" ] || fail "$step: registry Package is '$(value Package)', not '$2'"
}

step="install"
dpkg_ -i "$deb"
expect 0 deb
grep -q '^zarvo:' "$root/etc/group" || fail "install: no group zarvo"
session Ann
expect 1 deb

step="zarvo-uninstall on a package"
cp "$registry" "$sandbox/registry.before"
# (The window run's box is checked by the Uninstaller's own tests.)
for mode in --yes --dry-run; do
  out="$(in_lab timeout 20 "$root/usr/bin/zarvo-uninstall" $mode 2>&1 </dev/null)"
  grep -q "apt remove zarvo" <<<"$out" || fail "$step $mode does not name apt remove: $out"
done
in_lab timeout 20 "$root/usr/bin/zarvo-uninstall" --yes >/dev/null 2>&1 && fail "$step --yes reports success"
cmp -s "$registry" "$sandbox/registry.before" || fail "$step changed the registry"
[ -x "$root/usr/bin/zarvo" ] || fail "$step removed the trainer"
session Boris
expect 2 deb

step="upgrade"
dpkg_ -i "$sandbox/zarvo_99.deb"
[ "$(dpkg --root="$root" -s zarvo 2>/dev/null | sed -n 's/^Version: //p')" = 99.0.0 ] || fail "$step: not upgraded"
expect 2 deb
session Vera
expect 3 deb

step="remove"
dpkg_ -r zarvo
[ -e "$root/usr/bin/zarvo" ] && fail "$step left the trainer"
expect 3 ""
step="reinstall"
dpkg_ -i "$deb"
expect 3 deb
session Gleb
expect 4 deb

step="purge"
dpkg_ --purge zarvo
for p in etc/zarvo var/lib/zarvo usr/share/zarvo usr/bin/zarvo usr/lib/zarvo; do
  [ -e "$root/$p" ] && fail "$step left /$p: $(ls -A "$root/$p" | head -3)"
done
grep -q '^zarvo:' "$root/etc/group" && fail "$step left the group zarvo"
[ -n "$(find "$root" -name 'registry.reg*')" ] && fail "$step left $(find "$root" -name 'registry.reg*')"

[ $failures -eq 0 ] || exit 1
echo "package install, Uninstaller, upgrade, removal, reinstall and purge checked"
