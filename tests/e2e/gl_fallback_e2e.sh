#!/usr/bin/env bash
# Where the display's GL cannot be had, the program draws with SDL's software
# renderer instead. Each run below breaks GL in one of the ways people meet it
# (indirect GLX, as over ssh -X; no GL driver to load; GL broken with the
# software renderer asked for by name) and checks that the window opens and
# shows the side panel, that nothing of the X or GL libraries' own reports
# reaches stderr (an X error used to end the program through Xlib's report),
# and that closing the window ends the program with status 0.
#
# Nothing here waits for a fixed time: each step polls for what it needs, and
# GUARD_SECONDS only ends a step that would otherwise hang.
#
# Usage: gl_fallback_e2e.sh PATH_TO_KARIDO
# Needs Xvfb, xdotool, ImageMagick and python3.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
e2e_init "${1:-}" Xvfb xdotool import convert python3 timeout
readonly KARIDO=$program
start_xvfb
echo "Xvfb on display $DISPLAY"

# One run of the program through the command line "$@" (ending in the
# program), named $1 in the report.
run_with() {
    local name=$1
    shift
    use_launcher "$@"
    start_until_drawn "$name"
    pass "$name: the window shows the side panel ($blue blue pixels)"
    send_close "$window"
    expect_clean_exit "the close message" "$name"
    if [[ -s "$work/stderr" ]]; then
        fail "$name: stderr is not empty:"
        head -c 2000 "$work/stderr" >&2
    else
        pass "$name: nothing on stderr"
    fi
}

# start_program asks for the software renderer by name; the first two runs
# take that back, so that SDL tries GL first as it does on a desktop.
run_with "indirect GLX" env -u SDL_RENDER_DRIVER LIBGL_ALWAYS_INDIRECT=1 "$KARIDO"
run_with "no GL driver" env -u SDL_RENDER_DRIVER LIBGL_DRIVERS_PATH=/nonexistent "$KARIDO"
run_with "software renderer, indirect GLX" \
    env SDL_RENDER_DRIVER=software LIBGL_ALWAYS_INDIRECT=1 "$KARIDO"

finish gl_fallback_e2e
