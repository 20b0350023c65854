#!/usr/bin/env bash
# The program takes no command line: whatever arguments it is given, it
# ignores them. Each run below starts it with arguments that a program with
# options would act on (help, version, a window size, a file to open, the
# placeholders a menu entry may pass, an empty, a very long and a non-UTF-8
# argument) and checks that it does just what it does without them: its
# 384x256 window titled KARIDO, drawn, nothing on standard output, no word on
# standard error about the arguments, and status 0 when asked to end.
#
# Nothing here waits for a fixed time: each step polls for what it needs, and
# GUARD_SECONDS only ends a step that would otherwise hang.
#
# Usage: arguments_e2e.sh PATH_TO_KARIDO
# Needs Xvfb, xdotool, xwininfo (x11-utils) and ImageMagick.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
e2e_init "${1:-}" Xvfb xdotool xwininfo import convert timeout
readonly KARIDO=$program
start_xvfb
echo "Xvfb on display $DISPLAY"

# One run with the arguments "$@", named $1 in the report.
run_with() {
    local name=$1
    shift
    use_launcher "$KARIDO" "$@"
    start_until_drawn "$name"
    pass "$name: the window is drawn"

    read_client_size "$window"
    if [[ "$width" == "$CLIENT_WIDTH" && "$height" == "$CLIENT_HEIGHT" ]]; then
        pass "$name: client area is ${width}x${height}"
    else
        fail "$name: client area is ${width}x${height}, expected ${CLIENT_WIDTH}x${CLIENT_HEIGHT}"
    fi

    kill -TERM "$program_pid"
    expect_clean_exit SIGTERM "$name"

    if [[ -s "$work/stdout" ]]; then
        fail "$name: printed on standard output:"
        head -c 2000 "$work/stdout" >&2
    else
        pass "$name: nothing on standard output"
    fi
    # Messages of the system's libraries may come on stderr; none may be about
    # the arguments.
    local argument
    for argument in help version usage option argument frobnicate no-such-file; do
        if grep -qi -- "$argument" "$work/stderr"; then
            fail "$name: standard error mentions '$argument':"
            head -c 2000 "$work/stderr" >&2
        fi
    done
}

run_with "options" --help -h --version -V --fullscreen --width=9999 --frobnicate -- -x
printf -v long '%*s' 65536 ''
long=${long// /A}
run_with "odd arguments" /no-such-file.bmp %U %f "" "$long" $'\xff\xfe' 'a b'

finish arguments_e2e
