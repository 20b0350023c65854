#!/usr/bin/env bash
# Runs a test program on a virtual X server of its own, with X as the only
# display it can find, and ends with the program's status.
# Usage: in_xvfb.sh PROGRAM [ARGUMENT...]
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
e2e_init "${1:-}" Xvfb
shift
start_xvfb
unset WAYLAND_DISPLAY SDL_VIDEODRIVER
"$program" "$@"
