#!/usr/bin/env bash
# Builds KARIDO (default preset, the program only) and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target karido
exec build/default/app/karido
