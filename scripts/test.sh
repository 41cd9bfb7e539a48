#!/usr/bin/env bash
# Every test: native, native with ASan + UBSan, and the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export WINEDEBUG=-all
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-q90}"
# A first Wine start creates its prefix; do it once, before tests run in parallel.
wineboot -i >/dev/null 2>&1 || true

status=0
for preset in native native-asan win32; do
  echo "=== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2 || status=1
done
exit $status
