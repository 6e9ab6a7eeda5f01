#!/usr/bin/env bash
# Installs the trainer on a machine without the Debian package:
#
#   scripts/install.sh [PREFIX]        (default PREFIX: /usr/local; run as root for a lab machine)
#
# It installs the programs and content under PREFIX (from build/release, or build/default, built
# first when neither exists), sets up the writable program folder and the registry file that
# names it, puts the desktop and programs-menu shortcuts where the Uninstaller looks for them,
# and writes Uninstall.log listing every file it installed, so that zarvo-uninstall removes the
# installation again.
#
# Environment (defaults in brackets): ZARVO_REGISTRY [/etc/zarvo/registry.reg],
# ZARVO_STATE_DIR, the writable program folder [/var/lib/zarvo], ZARVO_LANGUAGE (Russian or
# English: records the interface language and names the shortcuts; [none: asked at every start,
# English shortcut names]), ZARVO_BUILD_DIR [build/release or build/default], XDG_DESKTOP_DIR
# [~/Desktop], XDG_DATA_HOME [~/.local/share], ZARVO_NO_GROUP=1 (do not create the group
# "zarvo"; for tests).
set -euo pipefail
cd "$(dirname "$0")/.."

prefix="${1:-/usr/local}"
case "$prefix" in /*) ;; *) prefix="$PWD/$prefix" ;; esac
prefix="${prefix%/}"
registry="${ZARVO_REGISTRY:-/etc/zarvo/registry.reg}"
state="${ZARVO_STATE_DIR:-/var/lib/zarvo}"
state="${state%/}"
language="${ZARVO_LANGUAGE:-}"

build="${ZARVO_BUILD_DIR:-}"
if [ -z "$build" ]; then
  for b in build/release build/default; do
    if [ -x "$b/bin/zarvo" ]; then build="$b"; break; fi
  done
fi
if [ -z "$build" ]; then
  scripts/setup.sh release
  build=build/release
fi

echo "Installing into $prefix from $build"
cmake --install "$build" --prefix "$prefix"
manifest="$build/install_manifest.txt"
[ -s "$manifest" ] || { echo "install.sh: cmake left no list of installed files" >&2; exit 1; }

group_flag=()
[ "${ZARVO_NO_GROUP:-}" = 1 ] && group_flag=(--no-group)
language_flag=()
[ -n "$language" ] && language_flag=(--language "$language")
"$prefix/lib/zarvo/setup-state" --content "$prefix/share/zarvo" --state "$state" \
  --registry "$registry" "${group_flag[@]}" "${language_flag[@]}"

# The Uninstaller removes listed files only inside the program folder or the installation root
# recorded beside it; the programs and content lie under the prefix. A later value replaces an
# earlier one, so a second installation into the same registry names its own prefix.
reg_root="$(printf '%s/' "$prefix" | sed 's/\\/\\\\/g; s/"/\\"/g')"
printf '\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Path]\r\n"InstallRoot"="%s"\r\n' \
  "$reg_root" >>"$registry"

# Shortcut names come from the language file's installer texts, as the Uninstaller reads them.
section="Installer_${language:-English}"
installer_text() {
  iconv -f CP1251 -t UTF-8 "$prefix/share/zarvo/Zarvo.flt" |
    awk -v s="[$section]" -v k="$1" -F= '
      { sub(/\r$/, "") }
      /^\[/ { inside = ($0 == s); next }
      inside && $1 == k { sub(/^[^=]*=/, ""); print; exit }'
}
zarvo_name="$(installer_text strZarvoShortcut)"
uninstall_name="$(installer_text strUninstallShortcut)"
group_folder="$(installer_text strZarvoPath)"
group_folder="${group_folder%\\}"
: "${zarvo_name:=zarvo}" "${uninstall_name:=uninstall zarvo}" "${group_folder:=ZARVO}"

desktop_dir="${XDG_DESKTOP_DIR:-$HOME/Desktop}"
menu_dir="${XDG_DATA_HOME:-$HOME/.local/share}/applications/$group_folder"
mkdir -p "$desktop_dir" "$menu_dir"
shortcut() { # file, name, command
  cat >"$1" <<DESKTOP
[Desktop Entry]
Type=Application
Name=$2
Exec=$3
Icon=$prefix/share/icons/hicolor/256x256/apps/zarvo.png
Terminal=false
Categories=Education;Languages;
DESKTOP
  chmod 0755 "$1"
}
shortcuts=("$desktop_dir/$zarvo_name.desktop" "$menu_dir/$zarvo_name.desktop"
  "$menu_dir/$uninstall_name.desktop")
shortcut "${shortcuts[0]}" "$zarvo_name" "$prefix/bin/zarvo"
shortcut "${shortcuts[1]}" "$zarvo_name" "$prefix/bin/zarvo"
shortcut "${shortcuts[2]}" "$uninstall_name" "$prefix/bin/zarvo-uninstall"

# Uninstall.log: one full path per line, CR LF, every file this installation put down. The
# shortcuts are removed by the Uninstaller's own step; the language link lies in the program
# folder and goes with the listed files.
{
  cat "$manifest"
  echo
  echo "$state/Zarvo.flt"
} | sed '/^$/d' | sed 's/$/\r/' >"$state/Uninstall.log"
chmod 0644 "$state/Uninstall.log"

echo "Installed. Program folder (results, language): $state; registry: $registry"
echo "Remove with: $prefix/bin/zarvo-uninstall (or --yes, or --dry-run to see what it would do)"
