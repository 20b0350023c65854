#!/usr/bin/env bash
# Measures the headless frame rate of two commits built side by side: each
# is checked out into a scratch worktree of this repository, its capture
# tool built with the default preset, and `karido-capture --frames FRAMES
# --benchmark` run ROUNDS times for each, the two in turn, so that both see
# the same load. Prints the CPU's vector flags, every run's rate, the
# medians and the ratio new / old. Each rate is the program's own loop as
# that commit runs it behind a display that shows none of the frames (the
# capture tool asks for none while it measures).
#
# Usage: bench/compare_commits.sh OLD_COMMIT [NEW_COMMIT]
#   NEW_COMMIT defaults to HEAD; e.g. bench/compare_commits.sh HEAD~5
# Needs what the build needs (scripts/deps.sh installs it).
#
# It is a measurement, not a test: it exits 0 whatever the figures are, and
# non-zero only when it cannot measure (2 for bad arguments, 1 when a commit
# cannot be checked out or built, or a run fails).
set -euo pipefail

readonly FRAMES=100000
readonly ROUNDS=5

usage() {
    echo "usage: $0 OLD_COMMIT [NEW_COMMIT]" >&2
    exit 2
}
(($# == 1 || $# == 2)) || usage
repository=$(git -C "$(dirname "${BASH_SOURCE[0]}")" rev-parse --show-toplevel)
old=$(git -C "$repository" rev-parse --verify --quiet "$1^{commit}") || usage
new=$(git -C "$repository" rev-parse --verify --quiet "${2:-HEAD}^{commit}") || usage

scratch=$(mktemp -d)
cleanup() {
    git -C "$repository" worktree remove --force "$scratch/old" >/dev/null 2>&1 || true
    git -C "$repository" worktree remove --force "$scratch/new" >/dev/null 2>&1 || true
    rm -rf "$scratch"
}
trap cleanup EXIT

# Checks out and builds one commit's capture tool; prints its path.
build() {
    local name=$1 commit=$2
    git -C "$repository" worktree add --quiet --detach "$scratch/$name" "$commit" ||
        { echo "$0: cannot check out $commit" >&2; exit 1; }
    (cd "$scratch/$name" && cmake --preset default >/dev/null &&
        cmake --build --preset default --target karido-capture >/dev/null) ||
        { echo "$0: cannot build $commit" >&2; exit 1; }
    echo "$scratch/$name/build/default/tools/karido-capture"
}

# One run's frames per second, from the tool's line
# "headless: N frames in S s, R frames per second (U us a frame)".
rate() {
    local line
    line=$("$1" --frames "$FRAMES" --benchmark) || { echo "$0: $1 failed" >&2; exit 1; }
    sed -n 's/.* s, \([0-9]*\) frames per second.*/\1/p' <<<"$line"
}

median() {
    printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"
}

echo "cpu: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')"
echo "flags: $(grep -m1 '^flags' /proc/cpuinfo | grep -o 'avx512vbmi\|avx512bw\|avx2' | sort -u |
    tr '\n' ' ')"
old_tool=$(build old "$old")
new_tool=$(build new "$new")
old_rates=()
new_rates=()
for ((round = 1; round <= ROUNDS; ++round)); do
    old_rates+=("$(rate "$old_tool")")
    new_rates+=("$(rate "$new_tool")")
    [[ -n "${old_rates[-1]}" && -n "${new_rates[-1]}" ]] ||
        { echo "$0: a run printed no rate" >&2; exit 1; }
    echo "round $round: old ${old_rates[-1]} fps, new ${new_rates[-1]} fps"
done
old_median=$(median "${old_rates[@]}")
new_median=$(median "${new_rates[@]}")
echo "old $(git -C "$repository" rev-parse --short "$old"): $old_median fps (median of $ROUNDS)"
echo "new $(git -C "$repository" rev-parse --short "$new"): $new_median fps (median of $ROUNDS)"
awk -v n="$new_median" -v o="$old_median" 'BEGIN { printf "new / old: %.2f\n", n / o }'
