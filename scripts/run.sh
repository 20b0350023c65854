#!/usr/bin/env bash
# Builds KARIDO (default preset) and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
if [ -x build/default/app/karido ]; then
  exec build/default/app/karido
fi
echo "The karido window program is not built yet: this tree has the renderer's" >&2
echo "libraries, the asset generator, the tests and the benchmarks (see README.md)." >&2
exit 1
