#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# (seconds from the first argument, default 20), seeded with the shipped data.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target bitmap_load_fuzz

# The loader reads packed DIBs: the bitmap files without their 14-byte header.
corpus="build/fuzz/corpus/bitmap_load"
mkdir -p "$corpus"
for file in resources/bitmaps/*.bmp; do
  tail -c +15 "$file" > "$corpus/$(basename "$file" .bmp).dib"
done
build/fuzz/tests/fuzz/bitmap_load_fuzz -max_total_time="$seconds" -max_len=110000 \
  -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
