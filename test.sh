#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (offscreen) through CTest.
set -euo pipefail
cd "$(dirname "$0")"
here=$(pwd)

./scripts/install-deps.sh

export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/stashly-ccache}"
# Paths inside the checkout count as relative, so a fresh clone elsewhere (CI)
# reuses what an earlier build compiled.
export CCACHE_BASEDIR="$here" CCACHE_NOHASHDIR=1
export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTASHLY_SHARED_DIR="$here/../shared" >/dev/null
cmake --build build -j "$jobs"

# The decoder again under AddressSanitizer and UBSan: hostile frames must never
# read or write out of bounds.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSTASHLY_SANITIZE=ON -DSTASHLY_DECODER_ONLY=ON \
      -DSTASHLY_BENCH=OFF -DSTASHLY_SHARED_DIR="$here/../shared" >/dev/null
cmake --build build-asan -j "$jobs"

status=0
# Every source file keeps the checked-in format.
if command -v clang-format >/dev/null; then
  if [ -d .git ]; then
    mapfile -t sources < <(git ls-files '*.cpp' '*.h')
  else
    mapfile -t sources < <(find src tests bench -name '*.cpp' -o -name '*.h')
  fi
  if ! clang-format --dry-run --Werror "${sources[@]}" 2>/tmp/stashly-format.$$; then
    head -n 20 /tmp/stashly-format.$$
    echo "test.sh: source files are not formatted; run clang-format -i on them" >&2
    status=1
  fi
  rm -f /tmp/stashly-format.$$
fi
ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-asan --output-on-failure -j "$jobs" || status=$?
# The main suite last, so that its summary closes the output.
ctest --test-dir build --output-on-failure -j "$jobs" || status=$?
exit $status
