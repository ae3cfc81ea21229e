#!/usr/bin/env bash
# Installs what is missing, builds, and starts Stashly on the default library.
set -euo pipefail
cd "$(dirname "$0")"
here=$(pwd)

./scripts/install-deps.sh
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/stashly-ccache}"
# Paths inside the checkout count as relative, so a fresh clone elsewhere (CI)
# reuses what an earlier build compiled.
export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=1
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTASHLY_SHARED_DIR="$here/../shared" >/dev/null
cmake --build build -j "$(nproc)" --target stashly stashly-cli relaunch

if [ "$(id -u)" -eq 0 ]; then
  # The web engine refuses its sandbox as root.
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: Stashly's window needs one."
  echo "Start it under a virtual display with:  xvfb-run -a ./run.sh"
  echo
  echo "The default library, as the command line sees it:"
  ./build/src/app/stashly-cli info 2>/dev/null || ./build/src/app/stashly-cli settings list
  exit 0
fi

exec ./build/src/app/stashly "$@"
