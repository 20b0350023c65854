#!/usr/bin/env bash
# Runs the program with no display it can open: no display named at all, an
# X display that no server answers, a Wayland display that no compositor
# answers, both, and a driver named by SDL_VIDEODRIVER (empty, or one that
# has no display). Each time it must print exactly one line on stderr that
# names the display it tried (the libraries' own messages kept off it), and
# exit with status 1, without crashing. GUARD_SECONDS only ends a run that
# would otherwise hang; it is far beyond what a slow machine needs.
set -uo pipefail
readonly GUARD_SECONDS=120
program=${1:?usage: no_display.sh PATH_TO_KARIDO}
err=$(mktemp)
trap 'rm -f "$err"' EXIT
failures=0

# An X display number that no server answers on this machine.
unserved=999
while [[ -e /tmp/.X11-unix/X$unserved || -e /tmp/.X$unserved-lock ]]; do
    unserved=$((unserved - 1))
done

# One run with the environment "$@" (DISPLAY, WAYLAND_DISPLAY and
# SDL_VIDEODRIVER unset first), named $1; $2 must appear in the line.
run_without() {
    local name=$1 named=$2
    shift 2
    env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$@" \
        timeout "$GUARD_SECONDS" "$program" 2>"$err" >/dev/null
    local status=$? lines
    lines=$(grep -c . "$err")
    echo "$name: status $status, stderr: $(cat "$err")"
    if [[ $status -eq 124 ]]; then
        echo "FAIL: $name: still running after ${GUARD_SECONDS} s" >&2
        failures=$((failures + 1))
    elif [[ $status -ne 1 ]]; then
        echo "FAIL: $name: expected exit status 1, got $status" >&2
        failures=$((failures + 1))
    elif [[ $lines -ne 1 ]] || ! grep -q '^karido: ' "$err"; then
        echo "FAIL: $name: expected one line starting with 'karido: ' on stderr, got $lines" >&2
        failures=$((failures + 1))
    elif ! grep -qF -- "$named" "$err"; then
        echo "FAIL: $name: the line does not name $named" >&2
        failures=$((failures + 1))
    fi
}

run_without "no display named" "DISPLAY"
run_without "no X server" "\":$unserved\"" DISPLAY=":$unserved"
run_without "no Wayland compositor" '"karido-no-such-display"' \
    WAYLAND_DISPLAY=karido-no-such-display
run_without "neither" "\":$unserved\"" \
    DISPLAY=":$unserved" WAYLAND_DISPLAY=karido-no-such-display
# An empty SDL_VIDEODRIVER names no driver: SDL must not settle for one that
# shows nothing.
run_without "empty SDL_VIDEODRIVER" "\":$unserved\"" DISPLAY=":$unserved" SDL_VIDEODRIVER=
run_without "SDL_VIDEODRIVER=x11 without a display" "SDL_VIDEODRIVER=x11" SDL_VIDEODRIVER=x11
if ((failures > 0)); then
    exit 1
fi
echo "ok: one line on stderr naming the display, exit status 1, each time"
