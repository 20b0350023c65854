#!/usr/bin/env bash
# Builds the default and the asan (AddressSanitizer + UndefinedBehaviorSanitizer)
# presets from scratch and runs every test in both, and the tsan
# (ThreadSanitizer) preset for the tests that run threads; before them, runs
# every fuzz target for a short, bounded time. Last, the windows preset: the
# Win32 program and its tests, cross-compiled and run under Wine; and the web
# preset: the page and the portable tests, built with emscripten, the tests
# under Node and the page in Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

# Warnings fail the build in CI.
werror=OFF
[ "${CI:-}" = true ] && werror=ON

echo "== fuzz =="
rm -rf build/fuzz
scripts/fuzz.sh 20

for preset in tsan default asan windows web; do
  echo "== $preset =="
  rm -rf "build/$preset"
  cmake --preset "$preset" -DKARIDO_WERROR="$werror" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j "$(nproc)"
done
