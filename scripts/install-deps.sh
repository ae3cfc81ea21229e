#!/usr/bin/env bash
# Installs every system package Stashly needs to build, run, test and benchmark.
# Idempotent: packages already present are left alone, and the package lists are
# refreshed only when something has to be installed.
set -euo pipefail

PACKAGES=(
  # toolchain
  build-essential cmake ninja-build ccache pkg-config git clang-format
  # Qt 6: widgets, SQLite driver, multimedia, web engine, PDF, image formats
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl-dev
  qt6-multimedia-dev qt6-webengine-dev qt6-webengine-dev-tools qt6-pdf-dev
  qt6-image-formats-plugins qt6-svg-dev libqt6svg6
  qt6-qpa-plugins
  # barcode image operations
  libopencv-core-dev libopencv-imgproc-dev
  # backup, PDF pages, property lists
  libzip-dev libqpdf-dev libplist-dev
  # content types
  shared-mime-info
  # headless GUI runs, screenshots and interop checks in tests
  xvfb xauth x11-utils imagemagick zip unzip sqlite3 qpdf python3
  fonts-dejavu-core
  # benchmark peers (decoder comparison only)
  libzxing-dev libzbar-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=
if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
fi

echo "install-deps: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
