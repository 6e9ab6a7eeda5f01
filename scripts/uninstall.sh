#!/usr/bin/env bash
# Removes an installation made by scripts/install.sh, completely:
#
#   scripts/uninstall.sh [--keep-results] [PREFIX]      (default PREFIX: /usr/local; as root)
#
# zarvo-uninstall --yes removes the files, the registry keys and the shortcuts (and with
# --keep-results leaves the results file in its program folder); then the folders the
# installation created are removed when empty, the registry file when no key is left in it, the
# system folder when empty, and the group "zarvo" unless the results file it owns was kept.
# The environment is that of scripts/install.sh (ZARVO_REGISTRY, ZARVO_STATE_DIR, ZARVO_WINDIR,
# ZARVO_NO_GROUP=1 ...).
set -euo pipefail

keep=()
prefix=""
while [ $# -gt 0 ]; do
  case "$1" in
    --keep-results) keep=(--keep-results); shift ;;
    -*) echo "uninstall.sh: unknown option $1" >&2; exit 2 ;;
    *) prefix="$1"; shift ;;
  esac
done
prefix="${prefix:-/usr/local}"
case "$prefix" in /*) ;; *) prefix="$PWD/$prefix" ;; esac
prefix="${prefix%/}"
registry="${ZARVO_REGISTRY:-/etc/zarvo/registry.reg}"
state="${ZARVO_STATE_DIR:-/var/lib/zarvo}"
state="${state%/}"
windir="${ZARVO_WINDIR:-/etc/zarvo}"

# The folders install.sh created, deepest first.
record="$(dirname "$registry")/installed-folders"
folders=()
if [ -f "$record" ]; then
  mapfile -t folders <"$record"
fi
if [ -x "$prefix/bin/zarvo-uninstall" ]; then
  "$prefix/bin/zarvo-uninstall" --yes "${keep[@]}" ||
    { echo "uninstall.sh: zarvo-uninstall failed; nothing more is removed" >&2; exit 1; }
else
  echo "uninstall.sh: $prefix/bin/zarvo-uninstall is not there; removing what is left" >&2
fi

rm -f "$record"
for d in "${folders[@]}"; do
  case "$d" in /?*) rmdir "$d" 2>/dev/null || true ;; esac
done
# A registry file without a single key is what the Uninstaller leaves of ours; another
# product's keys keep it.
if [ -f "$registry" ] && ! iconv -f UTF-16 -t UTF-8 "$registry" 2>/dev/null | grep -q '^\[' &&
  ! grep -q '^\[' "$registry"; then
  rm -f "$registry" "$registry.lock"
fi
[ -e "$registry" ] || rm -f "$registry.lock"
rmdir "$(dirname "$registry")" "$windir" 2>/dev/null || true

if [ ${#keep[@]} -eq 0 ] && [ "$(id -u)" -eq 0 ] && [ "${ZARVO_NO_GROUP:-}" != 1 ] &&
  getent group zarvo >/dev/null 2>&1; then
  groupdel zarvo 2>/dev/null || echo "uninstall.sh: the group zarvo could not be removed" >&2
fi
echo "Removed."
