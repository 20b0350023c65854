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

source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
e2e_init "${1:-}" Xvfb xdotool import convert timeout
start_xvfb
echo "Xvfb on display $DISPLAY (pid $xvfb_pid)"

# --- the program, its window and its first picture --------------------------
start_program
echo "window $window (pid $program_pid)"

# The program has drawn once its side panel is on the window: mostly blue.
blue=""
if ! shoot_until panel_drawn; then
    kill -0 "$program_pid" 2>/dev/null || fatal "the program went away before drawing"
    cat "$work/import.log" >&2
    fatal "no side panel within ${GUARD_SECONDS} s (blue pixels: ${blue:-none})"
fi
pass "the program has drawn: $blue blue pixels on the side panel"

# --- the display goes away ---------------------------------------------------
# Grouped, so that the shell's own "Killed" notice goes nowhere either.
{
    kill -KILL "$xvfb_pid"
    wait "$xvfb_pid"
} 2>/dev/null
xvfb_pid=""
echo "Xvfb killed with SIGKILL"

# What the shell says of how the program ended (such as "Aborted (core
# dumped)") goes to wait.log, to be searched with its output.
wait_for_exit 2>>"$work/wait.log"
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
if ((lines == 1 && nonempty == 1)) && grep -q '^karido: ' "$work/stderr"; then
    pass "one line on stderr, the program's own"
else
    fail "expected one line starting with 'karido: ' on stderr, got $lines line(s), $nonempty non-empty"
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

finish lost_display
