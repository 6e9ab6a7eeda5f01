#!/usr/bin/env bash
# Installs the trainer on a machine without a package:
#
#   scripts/install.sh [--language Russian|English] [PREFIX]
#                                      (default PREFIX: /usr/local; run as root for a lab machine)
#
# It installs the programs and content under PREFIX (from build/release, or build/default, built
# first when neither exists), sets up the writable program folder and the registry values that
# name it and the lab's interface language (Russian unless told otherwise, so that pupils are
# never asked), puts the desktop and programs-menu shortcuts where the Uninstaller looks for them,
# and writes Uninstall.log listing every file it installed, so that zarvo-uninstall removes the
# installation again; scripts/uninstall.sh also removes the folders it created.
#
# Environment (defaults in brackets): ZARVO_REGISTRY [/etc/zarvo/registry.reg],
# ZARVO_STATE_DIR, the writable program folder [/var/lib/zarvo], ZARVO_LANGUAGE (as --language),
# ZARVO_BUILD_DIR [build/release or build/default], XDG_DESKTOP_DIR [~/Desktop], XDG_DATA_HOME
# [~/.local/share], ZARVO_NO_GROUP=1 (do not create the group "zarvo"; for tests).
set -euo pipefail
cd "$(dirname "$0")/.."

language="${ZARVO_LANGUAGE:-Russian}"
prefix=""
while [ $# -gt 0 ]; do
  case "$1" in
    --language) language="${2:-}"; shift 2 || { echo "install.sh: --language needs a value" >&2; exit 2; } ;;
    -*) echo "install.sh: unknown option $1" >&2; exit 2 ;;
    *) prefix="$1"; shift ;;
  esac
done
case "$language" in Russian | English) ;; *)
  echo "install.sh: the language is Russian or English, not '$language'" >&2; exit 2 ;;
esac
if dpkg-query -W -f='${Status}' zarvo 2>/dev/null | grep -q "ok installed"; then
  echo "install.sh: the zarvo package is installed; remove it first (apt remove zarvo)" >&2
  exit 1
fi
prefix="${prefix:-/usr/local}"
case "$prefix" in /*) ;; *) prefix="$PWD/$prefix" ;; esac
prefix="${prefix%/}"
registry="${ZARVO_REGISTRY:-/etc/zarvo/registry.reg}"
state="${ZARVO_STATE_DIR:-/var/lib/zarvo}"
state="${state%/}"

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

# The folders this installation creates, so that scripts/uninstall.sh removes them again (and
# never one that was there before, such as /usr/local/bin).
created=()
new_folders() { # path: the path and its missing parents, if missing
  local d="$1"
  while [ -n "$d" ] && [ "$d" != / ] && [ ! -e "$d" ]; do
    created+=("$d")
    d="$(dirname "$d")"
  done
}
new_folders "$prefix"
before="$( (find "$prefix" -type d 2>/dev/null || true) | sort)"

echo "Installing into $prefix from $build"
cmake --install "$build" --prefix "$prefix"
manifest="$build/install_manifest.txt"
[ -s "$manifest" ] || { echo "install.sh: cmake left no list of installed files" >&2; exit 1; }

group_flag=()
[ "${ZARVO_NO_GROUP:-}" = 1 ] && group_flag=(--no-group)
while IFS= read -r d; do created+=("$d"); done < <(comm -13 <(echo "$before") <(find "$prefix" -type d | sort))
new_folders "$(dirname "$registry")"
new_folders "$(dirname "$state")"
"$prefix/lib/zarvo/setup-state" --content "$prefix/share/zarvo" --state "$state" \
  --registry "$registry" --language "$language" "${group_flag[@]}"

# The Uninstaller removes listed files only inside the program folder or the installation root
# recorded beside it; the programs and content lie under the prefix. A later value replaces an
# earlier one, so a second installation into the same registry names its own prefix.
reg_root="$(printf '%s/' "$prefix" | sed 's/\\/\\\\/g; s/"/\\"/g')"
printf '\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Path]\r\n"InstallRoot"="%s"\r\n' \
  "$reg_root" >>"$registry"

# Shortcut names come from the language file's installer texts, as the Uninstaller reads them.
section="Installer_$language"
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
new_folders "$desktop_dir"
new_folders "$(dirname "$menu_dir")"
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
# The folders above, deepest first, for scripts/uninstall.sh, beside the registry: the Uninstaller
# leaves them (it removes only the program folders), so a reinstall after it adds to the list.
record="$(dirname "$registry")/installed-folders"
{
  printf '%s\n' "${created[@]}"
  if [ -f "$record" ]; then cat "$record"; fi
} | sed '/^$/d' | sort -r -u >"$record.new"
mv "$record.new" "$record"
chmod 0644 "$record"
{
  cat "$manifest"
  echo
  echo "$state/Zarvo.flt"
} | sed '/^$/d' | sed 's/$/\r/' >"$state/Uninstall.log"
chmod 0644 "$state/Uninstall.log"

echo "Installed. Program folder (results, language): $state; registry: $registry"
echo "Remove with: scripts/uninstall.sh [--keep-results] $prefix (or $prefix/bin/zarvo-uninstall,"
echo "which leaves the emptied folders of the prefix)"
