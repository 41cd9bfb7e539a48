#!/usr/bin/env bash
# Every test: native, native with ASan + UBSan, native with TSan, and the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export WINEDEBUG=-all
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-q90}"
# A first Wine start creates its prefix; do it once, before tests run in parallel.
wineboot -i >/dev/null 2>&1 || true

status=0
# The code follows .clang-format.
echo "=== format"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror || status=1

# The wave reader fuzzed for a bounded time (clang + libFuzzer, ASan + UBSan), from the seeds the
# seed writer makes.
echo "=== fuzz"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target wave_fuzz wave_fuzz_seeds
build/fuzz/tests/fuzz/wave_fuzz_seeds build/fuzz/wave_seeds
mkdir -p build/fuzz/wave_corpus
build/fuzz/tests/fuzz/wave_fuzz -max_total_time="${FUZZ_SECONDS:-60}" -print_final_stats=1 \
  -artifact_prefix=build/fuzz/ build/fuzz/wave_corpus build/fuzz/wave_seeds || status=1

for preset in native native-asan native-tsan win32; do
  echo "=== $preset"
  start=$SECONDS
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "=== $preset configured and built in $((SECONDS - start)) s"
  ctest --preset "$preset" -j2 || status=1
done
# Where Wine cannot run 32-bit programs (some virtual machines), the win32 test programs are built
# and listed as skipped; the module checks above still read the built DLLs.
exit $status
