#!/usr/bin/env bash
# Installs the Debian packages the build, the content tools and the tests need (only those that
# are missing), then configures and builds the given CMake preset (default: "default").
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.bash

preset="${1:-default}"

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev libjpeg-dev libfreetype-dev libxcb1-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xfonts-terminus fonts-dejavu-core fonts-dejavu-extra
  xvfb xauth xdotool x11-utils x11-apps wmctrl imagemagick openbox
  chromium desktop-file-utils appstream dpkg-dev rpm
)

install_missing "${packages[@]}"

cmake --preset "$preset"
cmake --build --preset "$preset" -j "$(nproc)"
