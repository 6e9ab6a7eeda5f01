#!/usr/bin/env bash
# Installs the Debian packages the build, the content tools and the tests need (only those that
# are missing), then configures and builds the given CMake preset (default: "default").
set -euo pipefail
cd "$(dirname "$0")/.."

preset="${1:-default}"

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev libjpeg-dev libfreetype-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xfonts-terminus fonts-dejavu-core fonts-dejavu-extra
  xvfb xauth xdotool x11-utils imagemagick
  chromium desktop-file-utils appstream dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  # sudo resets the environment, so the variable is handed over through env.
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake --preset "$preset"
cmake --build --preset "$preset" -j "$(nproc)"
