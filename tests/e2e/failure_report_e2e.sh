#!/usr/bin/env bash
# A Windows program whose start-up fails must say why in one line: on stderr
# when it has one (started from a console, or by a test), and in a message
# box when it has none (started from the desktop, where a line on stderr
# would go nowhere). The start-up is made to fail for real: the program is
# copied with its sprite sheet's bitmap header damaged, so that loading it
# is refused. Both ways, the program ends with status 1.
#
# Nothing here waits for a fixed time: each step polls for what it needs, and
# GUARD_SECONDS only ends a step that would otherwise hang.
#
# Usage: failure_report_e2e.sh KARIDO_EXE LAUNCH_WITHOUT_STDERR_EXE SPRITES_BMP
# Needs Xvfb, xdotool, xwininfo (x11-utils), python3 and Wine.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
launcher=${2:-}
sprites=${3:-}
e2e_init "${1:-}" Xvfb xdotool xwininfo python3 timeout wine wineboot wineserver
if [[ ! -f "$launcher" || ! -f "$sprites" ]]; then
    echo "usage: $0 KARIDO_EXE LAUNCH_WITHOUT_STDERR_EXE SPRITES_BMP" >&2
    exit 2
fi
readonly EXPECTED_LINE='karido: start-up failed: cannot load bitmap 101'

# The copy with bitmap 101's header size (its first four bytes, after the
# file's 14-byte header) made one that no bitmap has.
python3 - "$program" "$sprites" "$work/karido-damaged.exe" <<'EOF' ||
import sys
program = open(sys.argv[1], "rb").read()
header = open(sys.argv[2], "rb").read()[14:14 + 256]
if program.count(header) != 1:
    sys.exit("bitmap 101 is not found once in the program")
at = program.find(header)
damaged = bytearray(program)
damaged[at:at + 4] = b"\xff\xff\xff\x7f"
open(sys.argv[3], "wb").write(damaged)
EOF
    fatal "cannot make the damaged copy"
damaged=$work/karido-damaged.exe

start_xvfb
echo "Xvfb on display $DISPLAY"
use_wine
echo "Wine prefix $WINEPREFIX"

# With stderr: the line there, no window left, status 1.
timeout "$GUARD_SECONDS" wine "$damaged" >"$work/stdout" 2>"$work/stderr"
status=$?
if [[ $status -eq 1 ]]; then
    pass "with stderr: ends with status 1"
else
    fail "with stderr: ended with status $status"
fi
# The Windows C runtime ends its lines with CR LF.
if [[ "$(tr -d '\r' <"$work/stderr")" == "$EXPECTED_LINE" ]]; then
    pass "with stderr: says \"$EXPECTED_LINE\" there"
else
    fail "with stderr: expected the one line \"$EXPECTED_LINE\", got:"
    cat "$work/stderr" >&2
fi

# Without stderr: a message box titled KARIDO, the game's window never shown;
# closing the box ends the program with status 1. The box's text is read from
# Wine's trace of the texts its windows are given (its "win" channel), which
# goes to the Unix stderr that the Windows program does not see.
WINEDEBUG=-all,+win wine "$launcher" "$damaged" >"$work/stdout" 2>"$work/trace" &
program_pid=$!
wait_for_window
read_client_size "$window"
if [[ "$width" == "$CLIENT_WIDTH" && "$height" == "$CLIENT_HEIGHT" ]]; then
    fail "without stderr: the window shown is the game's ${width}x${height}, not a message box"
else
    pass "without stderr: a message box titled KARIDO (${width}x${height})"
fi
if kill -0 "$program_pid" 2>/dev/null; then
    pass "without stderr: the program waits while the box is open"
else
    fail "without stderr: the program ended with the box open"
fi
send_close "$window"
wait_for_exit
if [[ "$exit_status" == 1 ]]; then
    pass "without stderr: ends with status 1 once the box is closed"
else
    fail "without stderr: ended with status '${exit_status:-still running}' after the box was closed"
fi
if grep -qF "set_window_text L\"$EXPECTED_LINE\"" "$work/trace"; then
    pass "without stderr: the box says \"$EXPECTED_LINE\""
else
    fail "without stderr: no window was given the text \"$EXPECTED_LINE\""
fi

finish failure_report_e2e
