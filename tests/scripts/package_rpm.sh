#!/usr/bin/env bash
# The RPM from cpack -G RPM: its file list and its scripts (the same set-up as the Debian
# package's). Skipped where rpmbuild is not installed (scripts/setup.sh installs it).
set -uo pipefail
build="$(cd "$1" && pwd)"
command -v rpmbuild >/dev/null && command -v rpm >/dev/null ||
  { echo "skipped: rpmbuild and rpm are not installed (Debian package 'rpm')"; exit 77; }
sandbox="$(mktemp -d)"
trap 'rm -rf "$sandbox"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
export HOME="$sandbox/home"
mkdir -p "$HOME"

(cd "$sandbox" && cpack -G RPM --config "$build/CPackConfig.cmake" -B "$sandbox/rpm" >"$sandbox/cpack.log" 2>&1) ||
  { echo "cpack -G RPM: $(tail -20 "$sandbox/cpack.log")"; exit 1; }
pkg="$(find "$sandbox/rpm" -maxdepth 1 -name 'zarvo-*.rpm' | head -1)"
[ -n "$pkg" ] || { echo "no .rpm was built"; exit 1; }
rpm -qlp "$pkg" >"$sandbox/files" 2>/dev/null || fail "rpm -qlp"
for f in /usr/bin/zarvo /usr/bin/zarvo-uninstall /usr/lib/zarvo/setup-state \
  /usr/lib/zarvo/zarvo-setup-registry /usr/share/zarvo/Zarvo.ff /usr/share/zarvo/Zarvo.flt \
  /usr/share/applications/com.orvisoft.Zarvo.desktop; do
  grep -qx "$f" "$sandbox/files" || fail "the RPM lacks $f"
done
# Folders of the system are not the package's.
for f in /usr /usr/bin /usr/lib /usr/share/applications /usr/share/icons/hicolor/48x48/apps; do
  grep -qx "$f" "$sandbox/files" && fail "the RPM owns $f"
done
grep -l zarvo-uninstall $(grep '\.desktop$' "$sandbox/files" | sed "s|^|$sandbox/x|") 2>/dev/null &&
  fail "the RPM installs an uninstall menu entry"
rpm -qp --scripts "$pkg" >"$sandbox/scripts" 2>/dev/null || fail "rpm -qp --scripts"
grep -q '^postinstall scriptlet' "$sandbox/scripts" || fail "no post-install scriptlet"
grep -q '/usr/lib/zarvo/setup-state' "$sandbox/scripts" && grep -q -- '--package rpm' "$sandbox/scripts" || fail "the post-install scriptlet does not set up the state"
grep -q '^preuninstall scriptlet' "$sandbox/scripts" || fail "no pre-uninstall scriptlet"
grep -q "delete '\\\\SOFTWARE\\\\Orvisoft\\\\Zarvo\\\\Package'" "$sandbox/scripts" ||
  fail "the pre-uninstall scriptlet does not drop the package record: $(cat "$sandbox/scripts")"
[ "$(rpm -qp --queryformat '%{NAME}' "$pkg" 2>/dev/null)" = zarvo ] || fail "package name"

[ $failures -eq 0 ] || exit 1
echo "RPM file list and scripts checked"
