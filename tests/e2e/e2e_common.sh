# What the end-to-end scripts share: checking their argument and tools, a
# work folder cleaned up on exit, reporting checks, a virtual X server, the
# program and its window, asking its window to close, its exit, screenshots
# and counting colours.
# A script sources this file after `set -uo pipefail`, then calls e2e_init.
#
# Nothing here waits for a fixed time: each wait polls for what it needs, and
# GUARD_SECONDS only ends a wait that would otherwise hang.

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
readonly E2E_DIR
readonly CLIENT_WIDTH=384
readonly CLIENT_HEIGHT=256
# How long one wait may last before it counts as hung: far beyond what a slow,
# loaded machine or a sanitizer build needs.
readonly GUARD_SECONDS=120
# Making a fresh Wine prefix takes far longer than any other step.
readonly WINE_PREFIX_GUARD_SECONDS=600
readonly PANEL='128x256+256+0'
readonly PANEL_PIXELS=$((128 * 256))

# Checks that $1 is an executable (the program) and that the tools named
# after it are installed, then makes the work folder, removed on exit with
# whatever is still running. Sets program and work.
e2e_init() {
    program=${1:-}
    if [[ -z "$program" || ! -x "$program" ]]; then
        echo "usage: $0 PATH_TO_KARIDO (an executable)" >&2
        exit 2
    fi
    shift
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "FAIL: $tool is not installed" >&2
            exit 1
        fi
    done
    work=$(mktemp -d)
    wine_prefix=""
    xvfb_pid=""
    program_pid=""
    failures=0
    trap cleanup EXIT
    trap 'exit 130' INT TERM
}

# Kills what is still running (the program first, then Wine's own processes,
# then Xvfb) and removes the work folder.
cleanup() {
    if [[ -n "$program_pid" ]] && kill -0 "$program_pid" 2>/dev/null; then
        kill -KILL "$program_pid" 2>/dev/null
        wait "$program_pid" 2>/dev/null
    fi
    if [[ -n "$wine_prefix" ]]; then
        WINEPREFIX="$wine_prefix" timeout "$GUARD_SECONDS" wineserver -k 2>/dev/null
    fi
    if [[ -n "$xvfb_pid" ]]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$work"
}

pass() { echo "ok:   $*"; }
# Counts a failed check; the run goes on.
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
    if [[ -n "$xvfb_pid" ]] && ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "--- Xvfb has gone away; its log:" >&2
        cat "$work/xvfb.log" >&2
    fi
    exit 1
}
# Ends the run named $1 with the count of failed checks.
finish() {
    if ((failures > 0)); then
        echo "$1: $failures check(s) failed" >&2
        exit 1
    fi
    echo "$1: all checks passed"
}

# Starts a virtual X server and exports its DISPLAY; sets xvfb_pid. Xvfb
# writes the display number it picked to fd 3.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" \
        2>"$work/xvfb.log" &
    xvfb_pid=$!
    local deadline=$((SECONDS + GUARD_SECONDS)) display_number
    until [[ -s "$work/display" ]]; do
        kill -0 "$xvfb_pid" 2>/dev/null || break
        ((SECONDS < deadline)) || break
        sleep 0.1
    done
    display_number=$(tr -d '[:space:]' <"$work/display")
    if [[ -z "$display_number" ]]; then
        cat "$work/xvfb.log" >&2
        if kill -0 "$xvfb_pid" 2>/dev/null; then
            fatal "Xvfb named no display within ${GUARD_SECONDS} s"
        fi
        fatal "Xvfb did not start"
    fi
    export DISPLAY=":$display_number"
}

# Makes a fresh Wine prefix in the work folder for a Windows program (after
# start_xvfb: Wine takes the display it is started on); start_program then
# runs the program under Wine.
use_wine() {
    wine_prefix="$work/wine-prefix"
    export WINEPREFIX="$wine_prefix" WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
    timeout "$WINE_PREFIX_GUARD_SECONDS" wineboot -i >"$work/wineboot.log" 2>&1 ||
        { cat "$work/wineboot.log" >&2; fatal "cannot make a Wine prefix"; }
    timeout "$WINE_PREFIX_GUARD_SECONDS" wineserver -w ||
        fatal "Wine's server did not finish making the prefix"
}

# Starts the program and waits for its window; sets program_pid and window.
# It runs with SDL's software renderer, the one every Xvfb has, or under Wine
# after use_wine.
start_program() {
    if [[ -n "$wine_prefix" ]]; then
        wine "$program" >"$work/stdout" 2>"$work/stderr" &
    else
        SDL_RENDER_DRIVER=software "$program" >"$work/stdout" 2>"$work/stderr" &
    fi
    program_pid=$!
    wait_for_window
}

# Waits for a shown window titled KARIDO of the program started as
# program_pid; sets window. Windows that were never shown do not count (the
# program may make and drop a window before the one it shows). The search
# runs in the background so that the wait ends as soon as the program exits
# without a window, not only when the guard runs out.
wait_for_window() {
    xdotool search --sync --onlyvisible --name '^KARIDO$' >"$work/window" 2>/dev/null &
    local search_pid=$! deadline=$((SECONDS + GUARD_SECONDS))
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
            local status=$?
            program_pid=""
            fatal "the program exited with status $status before showing a window"
        fi
        fatal "no window titled KARIDO within ${GUARD_SECONDS} s"
    fi
}

# Starts the program (start_program) and waits until its window shows the
# side panel; $1 names the run in what it reports.
start_until_drawn() {
    start_program
    if ! shoot_until panel_drawn; then
        kill -0 "$program_pid" 2>/dev/null ||
            fatal "$1: the program went away before drawing"
        fatal "$1: no side panel within ${GUARD_SECONDS} s"
    fi
}

# Sets width and height to the size of window $1's client area.
read_client_size() {
    local geometry
    geometry=$(xwininfo -id "$1")
    width=$(awk '/^ *Width:/ {print $2}' <<<"$geometry")
    height=$(awk '/^ *Height:/ {print $2}' <<<"$geometry")
}

# Points start_program at a launcher that execs the command line "$@" (the
# program with arguments, or run through env), so that the
# process start_program watches is the program itself.
use_launcher() {
    {
        echo '#!/usr/bin/env bash'
        printf 'exec'
        printf ' %q' "$@"
        echo
    } >"$work/launcher"
    chmod +x "$work/launcher"
    program=$work/launcher
}

# Asks the window to close the way a window manager's close button does: a
# WM_DELETE_WINDOW client message.
send_close() {
    python3 "$E2E_DIR/window_message.py" close "$1"
}

# Asks the program whether it has caught up with the input sent so far (a
# _NET_WM_PING, answered once every event before it has been read) and waits
# for its answer, at most GUARD_SECONDS; false without one.
wait_for_ping() {
    python3 "$E2E_DIR/window_message.py" ping "$1" "$GUARD_SECONDS"
}

# Waits for the program to end, at most GUARD_SECONDS; sets exit_status
# (empty if it is still running). What the shell says of how it ended (such
# as "Aborted (core dumped)") goes to this function's stderr.
wait_for_exit() {
    exit_status=""
    local deadline=$((SECONDS + GUARD_SECONDS))
    while kill -0 "$program_pid" 2>/dev/null; do
        ((SECONDS < deadline)) || return
        sleep 0.1
    done
    wait "$program_pid"
    exit_status=$?
    program_pid=""
}

# Waits for the program to end after $1 (what was done to it, such as
# "SIGTERM") and reports, as check $2, whether it ended with status 0. A
# program still running when the guard runs out is killed.
expect_clean_exit() {
    local cause=$1 what=$2
    wait_for_exit
    if [[ -z "$exit_status" ]]; then
        fail "$what: still running ${GUARD_SECONDS} s after $cause"
        kill -KILL "$program_pid" 2>/dev/null
        wait "$program_pid" 2>/dev/null
        program_pid=""
    elif [[ "$exit_status" -eq 0 ]]; then
        pass "$what: ends with status 0"
    else
        fail "$what: ended with status $exit_status"
        cat "$work/stderr" >&2
    fi
}

# Takes a screenshot of the window into shot.png; fails if import fails (the
# window may not be mapped yet) or the picture is not the client area's size.
take_shot() {
    timeout "$GUARD_SECONDS" import -window "$window" "png:$work/shot.png" \
        2>"$work/import.log" || return 1
    shot_size=$(convert "$work/shot.png" -format '%wx%h' info: 2>>"$work/import.log")
    [[ "$shot_size" == "${CLIENT_WIDTH}x${CLIENT_HEIGHT}" ]]
}

# Takes screenshots until "$@" succeeds on one, at most GUARD_SECONDS; fails
# if the guard runs out or the program exits first.
shoot_until() {
    local deadline=$((SECONDS + GUARD_SECONDS))
    until take_shot && "$@"; do
        kill -0 "$program_pid" 2>/dev/null || return 1
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# Counts the pixels of colour $2 (e.g. 'rgb(0,0,255)') in region $1
# (WxH+X+Y) of the screenshot.
count_colour() {
    convert "$work/shot.png" -crop "$1" +repage -alpha off \
        -fill black +opaque "$2" -fill white -opaque "$2" \
        -format '%[fx:round(mean*w*h)]' info:
}

# True when shot.png shows the drawn side panel: mostly its blue. Sets blue
# to the count of blue pixels on it.
panel_drawn() {
    blue=$(count_colour "$PANEL" 'rgb(0,0,255)')
    [[ "$blue" =~ ^[0-9]+$ ]] && ((blue >= PANEL_PIXELS * 30 / 100))
}
