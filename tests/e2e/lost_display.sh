#!/usr/bin/env bash
# Runs the real program in a virtual X server, waits for it to draw, then
# kills the X server from under it. Losing the display must end the program
# cleanly: exit status 1 (not an abort, not a signal), one line on stderr
# saying why, and no abort or uncaught-exception message anywhere.
#
# Nothing here waits for a fixed time: each step polls for what it needs (a
# display, a window, a drawn picture, an exit), and GUARD_SECONDS only ends a
# step that would otherwise hang.
#
# Usage: lost_display.sh PATH_TO_KARIDO
# Needs Xvfb, xdotool, ImageMagick.
set -uo pipefail

# How long one wait may last before it counts as hung: far beyond what a slow,
# loaded machine or a sanitizer build needs.
readonly GUARD_SECONDS=120
readonly PANEL='128x256+256+0'
readonly PANEL_PIXELS=$((128 * 256))

program=${1:-}
if [[ -z "$program" || ! -x "$program" ]]; then
    echo "usage: $0 PATH_TO_KARIDO (an executable)" >&2
    exit 2
fi
for tool in Xvfb xdotool import convert timeout; do
    if ! command -v "$tool" >/dev/null; then
        echo "FAIL: $tool is not installed" >&2
        exit 1
    fi
done

work=$(mktemp -d)
xvfb_pid=""
program_pid=""
failures=0

cleanup() {
    if [[ -n "$program_pid" ]] && kill -0 "$program_pid" 2>/dev/null; then
        kill -KILL "$program_pid" 2>/dev/null
        wait "$program_pid" 2>/dev/null
    fi
    if [[ -n "$xvfb_pid" ]]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

pass() { echo "ok:   $*"; }
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
# Ends the run at once: later checks mean nothing after this one.
fatal() {
    echo "FAIL: $*" >&2
    if [[ -s "$work/stderr" ]]; then
        echo "--- the program's stderr:" >&2
        cat "$work/stderr" >&2
    fi
    exit 1
}

# Waits for the program to end, at most GUARD_SECONDS; sets exit_status
# (empty if it is still running). What the shell says of how it ended (such
# as "Aborted (core dumped)") goes to wait.log.
wait_for_exit() {
    exit_status=""
    local deadline=$((SECONDS + GUARD_SECONDS))
    while kill -0 "$program_pid" 2>/dev/null; do
        ((SECONDS < deadline)) || return
        sleep 0.1
    done
    wait "$program_pid" 2>>"$work/wait.log"
    exit_status=$?
    program_pid=""
}

# --- a virtual X server: it writes the display number it picked to fd 3 ----
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" \
    2>"$work/xvfb.log" &
xvfb_pid=$!
deadline=$((SECONDS + GUARD_SECONDS))
until [[ -s "$work/display" ]]; do
    kill -0 "$xvfb_pid" 2>/dev/null || break
    ((SECONDS < deadline)) || break
    sleep 0.1
done
display_number=$(tr -d '[:space:]' <"$work/display")
if [[ -z "$display_number" ]]; then
    cat "$work/xvfb.log" >&2
    fatal "Xvfb did not name a display"
fi
export DISPLAY=":$display_number"
echo "Xvfb on display $DISPLAY (pid $xvfb_pid)"

# --- the program, its window and its first picture --------------------------
SDL_RENDER_DRIVER=software "$program" >"$work/stdout" 2>"$work/stderr" &
program_pid=$!

# The search runs in the background so that the wait ends as soon as the
# program exits without a window, not only when the guard runs out.
xdotool search --sync --name '^KARIDO$' >"$work/window" 2>/dev/null &
search_pid=$!
deadline=$((SECONDS + GUARD_SECONDS))
while kill -0 "$search_pid" 2>/dev/null; do
    kill -0 "$program_pid" 2>/dev/null || break
    ((SECONDS < deadline)) || break
    sleep 0.1
done
# A signal that comes before xdotool has started can be lost: send it until
# xdotool is gone.
while kill "$search_pid" 2>/dev/null; do
    sleep 0.1
done
wait "$search_pid" 2>/dev/null
window=$(head -n 1 "$work/window")
if [[ -z "$window" ]]; then
    if ! kill -0 "$program_pid" 2>/dev/null; then
        wait "$program_pid"
        status=$?
        program_pid=""
        fatal "the program exited with status $status before showing a window"
    fi
    fatal "no window titled KARIDO within ${GUARD_SECONDS} s"
fi
echo "window $window (pid $program_pid)"

# The program has drawn once its side panel is on the window: mostly blue.
blue=""
deadline=$((SECONDS + GUARD_SECONDS))
while :; do
    if timeout "$GUARD_SECONDS" import -window "$window" "png:$work/shot.png" \
        2>"$work/import.log"; then
        blue=$(convert "$work/shot.png" -crop "$PANEL" +repage -alpha off \
            -fill black +opaque 'rgb(0,0,255)' -fill white -opaque 'rgb(0,0,255)' \
            -format '%[fx:round(mean*w*h)]' info:)
        [[ "$blue" =~ ^[0-9]+$ ]] && ((blue >= PANEL_PIXELS * 30 / 100)) && break
    fi
    kill -0 "$program_pid" 2>/dev/null || fatal "the program went away before drawing"
    if ((SECONDS >= deadline)); then
        cat "$work/import.log" >&2
        fatal "no side panel within ${GUARD_SECONDS} s (blue pixels: ${blue:-none})"
    fi
    sleep 0.1
done
pass "the program has drawn: $blue blue pixels on the side panel"

# --- the display goes away ---------------------------------------------------
# Grouped, so that the shell's own "Killed" notice goes nowhere either.
{
    kill -KILL "$xvfb_pid"
    wait "$xvfb_pid"
} 2>/dev/null
xvfb_pid=""
echo "Xvfb killed with SIGKILL"

wait_for_exit
if [[ -z "$exit_status" ]]; then
    fatal "still running ${GUARD_SECONDS} s after its display went away"
fi

output=$(cat "$work/stdout" "$work/stderr" "$work/wait.log" 2>/dev/null)
lines=$(grep -c '' "$work/stderr")
nonempty=$(grep -c . "$work/stderr")
echo "status $exit_status"
echo "--- stderr ($lines line(s)):"
cat "$work/stderr"
echo "---"

if [[ "$exit_status" -eq 1 ]]; then
    pass "losing the display ends the program with status 1"
elif ((exit_status > 128)); then
    fail "the program ended with status $exit_status (signal $(kill -l "$exit_status"))"
else
    fail "the program ended with status $exit_status, expected 1"
fi
if ((lines == 1 && nonempty == 1)); then
    pass "one line on stderr"
else
    fail "expected one non-empty line on stderr, got $lines line(s), $nonempty non-empty"
fi
if grep -q 'terminate called' <<<"$output"; then
    fail "an uncaught exception ended the program ('terminate called')"
else
    pass "no 'terminate called'"
fi
if grep -Eq 'core dumped|Aborted' <<<"$output"; then
    fail "the program aborted ('core dumped' or 'Aborted' in its output)"
else
    pass "no 'core dumped' or 'Aborted'"
fi

if ((failures > 0)); then
    echo "lost_display: $failures check(s) failed" >&2
    exit 1
fi
echo "lost_display: all checks passed"
