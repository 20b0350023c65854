#!/usr/bin/env bash
# Runs the program with no display to open: it must print one clear line on
# stderr and exit with status 1, without crashing. GUARD_SECONDS only ends a
# run that would otherwise hang; it is far beyond what a slow machine needs.
set -uo pipefail
readonly GUARD_SECONDS=120
program=${1:?usage: no_display.sh PATH_TO_KARIDO}
err=$(mktemp)
trap 'rm -f "$err"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout "$GUARD_SECONDS" "$program" \
    2>"$err" >/dev/null
status=$?
lines=$(grep -c . "$err")
echo "status $status, stderr: $(cat "$err")"
if [[ $status -eq 124 ]]; then
    echo "FAIL: still running after ${GUARD_SECONDS} s without a display" >&2
    exit 1
fi
if [[ $status -ne 1 ]]; then
    echo "FAIL: expected exit status 1, got $status" >&2
    exit 1
fi
if [[ $lines -ne 1 ]] || ! grep -q '^karido: ' "$err"; then
    echo "FAIL: expected one line starting with 'karido: ' on stderr, got $lines" >&2
    exit 1
fi
echo "ok: one line on stderr, exit status 1"
