#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# (seconds from the first argument, default 20, for each target), seeded with
# the shipped data.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target bitmap_load_fuzz wav_read_fuzz

# The loader reads packed DIBs: the bitmap files without their 14-byte header.
corpus="build/fuzz/corpus/bitmap_load"
mkdir -p "$corpus"
for file in resources/bitmaps/*.bmp; do
  tail -c +15 "$file" > "$corpus/$(basename "$file" .bmp).dib"
done
echo "-- bitmap loader"
build/fuzz/tests/fuzz/bitmap_load_fuzz -max_total_time="$seconds" -max_len=110000 \
  -print_final_stats=1 "$corpus" 2>&1 | tail -n 12

# The WAV reader: the headers are what matters, so the seeds are the shipped
# sounds cut to 4 KiB with their RIFF and data sizes made to agree.
corpus="build/fuzz/corpus/wav_read"
mkdir -p "$corpus"
python3 - "$corpus" resources/sounds/*.wav <<'PYTHON'
import struct, sys, os
corpus = sys.argv[1]
for path in sys.argv[2:]:
    image = bytearray(open(path, "rb").read()[:4096])
    struct.pack_into("<I", image, 4, len(image) - 8)
    struct.pack_into("<I", image, 40, len(image) - 44)
    open(os.path.join(corpus, os.path.basename(path)), "wb").write(image)
PYTHON
echo "-- WAV reader"
build/fuzz/tests/fuzz/wav_read_fuzz -max_total_time="$seconds" -max_len=4096 \
  -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
