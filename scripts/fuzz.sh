#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# (seconds from the first argument, default 20, for each target), starting
# from its committed corpus, tests/fuzz/corpus/<target>/. The corpus is
# copied into the build folder first, so that a run never changes the tree:
# what a campaign adds stays in <build>/corpus/<target>/, from which it can be
# minimised into the committed corpus with -merge=1. A crash leaves its input
# in <build>/artifacts/<target>/ and makes the script fail after the other
# targets have run. The build folder is build/fuzz, the fuzz preset's, unless
# FUZZ_BUILD_DIR names another.
#
# With --merge after the seconds (by hand, after a campaign of a few minutes,
# never in CI), each target's corpus in the build folder is then minimised
# into tests/fuzz/corpus/<target>/, replacing it: one input for each coverage
# edge no other input reaches (hit counts are not told apart), which keeps
# the committed corpus at a few dozen small files.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
merge=false
if [ "${2:-}" = --merge ]; then
  merge=true
elif [ -n "${2:-}" ]; then
  echo "usage: $0 [seconds per target] [--merge]" >&2
  exit 2
fi
build="${FUZZ_BUILD_DIR:-build/fuzz}"
targets=(bitmap_load wav resource_lookup text_draw)

cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" --target "${targets[@]/%/_fuzz}"

failed=()
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  artifacts="$build/artifacts/$target"
  log="$build/logs/$target.log"
  rm -rf "$corpus" "$artifacts"
  mkdir -p "$corpus" "$artifacts" "$build/logs"
  cp tests/fuzz/corpus/"$target"/* "$corpus"/
  echo "-- $target: $(ls "$corpus" | wc -l) committed inputs, $seconds s"
  # The timeout only guards against a hang: an input takes milliseconds.
  if "$build/tests/fuzz/${target}_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=120 \
       -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1; then
    grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::' "$log"
  else
    tail -n 40 "$log"
    echo "-- $target FAILED: the input is in $artifacts/, the whole log in $log"
    failed+=("$target")
  fi
done

if [ "${#failed[@]}" -ne 0 ]; then
  echo "fuzz: failures in ${failed[*]}"
  exit 1
fi

if $merge; then
  for target in "${targets[@]}"; do
    merged="$build/merged/$target"
    rm -rf "$merged"
    mkdir -p "$merged"
    "$build/tests/fuzz/${target}_fuzz" -merge=1 -use_counters=0 -max_len=4096 \
      "$merged" "$build/corpus/$target" >"$build/logs/$target.merge.log" 2>&1
    rm -rf "tests/fuzz/corpus/$target"
    cp -r "$merged" "tests/fuzz/corpus/$target"
    echo "-- $target: $(ls "$merged" | wc -l) inputs kept in tests/fuzz/corpus/$target"
  done
fi
