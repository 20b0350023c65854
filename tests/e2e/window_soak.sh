#!/usr/bin/env bash
# Soaks the real program's window in input under a virtual X server: for
# SOAK_SECONDS xdotool presses and releases random keys (the game's keys and
# some that do nothing) and clicks at random places inside the window, as
# fast as it can, in batches of commands; after each batch it waits for the
# program to answer a ping, so that input never piles up beyond a batch
# however slowly the program runs (a sanitizer build on a busy machine would
# otherwise fall minutes behind). Checks that the program stays up
# the whole time, that its resident memory does not grow beyond a small
# tolerance between a sample after a warm-up and one at the end, and that
# closing its window then ends it with status 0.
#
# SOAK_SECONDS is the soak's length, not an assumption of speed: how many of
# the events get through, and how fast the program handles them, changes
# nothing that is checked.
#
# Usage: window_soak.sh PATH_TO_KARIDO
# Needs Xvfb, xdotool, ImageMagick and python3.
set -uo pipefail

# Under AddressSanitizer freed memory is kept back (quarantined, 256 MiB by
# default) before it is used again, so that the heap churn of the system
# libraries (Mesa's software rasteriser allocates and frees tens of KiB on
# each present, the ALSA device hot-plug poll reads its configuration anew)
# would look like growth until the quarantine is full. A small quarantine
# keeps the resident memory to what is live; builds without the sanitizer
# ignore the variable.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=4"

source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
e2e_init "${1:-}" Xvfb xdotool import convert python3 timeout
start_xvfb
echo "Xvfb on display $DISPLAY"

readonly SOAK_SECONDS=60
# Memory is first sampled once the soak has run this long: by then the
# program has had every kind of input many times over (the item list opened,
# its icons shown, the message window typed, every sound asked for), so that
# what it allocates once has been allocated.
readonly WARM_UP_SECONDS=15
# How much the resident memory may grow from the warm-up sample to the end.
# Measured here, on a loaded two-core machine: tens of KiB to 2.3 MiB in the
# optimised build, 3.4 to 4.2 MiB under AddressSanitizer. What grows comes
# in steps when input piles up while the main thread waits for the
# processor: SDL's and the X library's queues and the heap keep what a
# backlog took, for reuse (15000 xdotool commands sent to a stopped program
# took 7 MiB); the ping after each batch keeps a backlog to a batch. A leak
# of a small block per frame (tens of thousands of frames a second in the
# optimised build) or of a few hundred bytes per event (a hundred thousand
# and more in a soak) goes beyond it.
readonly RSS_TOLERANCE_KIB=$((16 * 1024))
# xdotool commands sent in one invocation.
readonly BATCH=200

# The game's keys, and keys the program does not use.
readonly KEYS=(Left Right Up Down KP_8 KP_2 KP_4 KP_6 KP_Up KP_Down KP_Left KP_Right
    Return KP_Enter space z x Escape
    a q 5 Tab F1 BackSpace Home Shift_L Control_L)

# Resident memory of the program in KiB (VmRSS of /proc/PID/status).
resident_kib() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$program_pid/status" 2>/dev/null
}

# Ends the run unless the program still runs; $1 says when.
expect_running() {
    kill -0 "$program_pid" 2>/dev/null || fatal "the program went away during the soak ($1)"
}

# One batch of random xdotool commands: a key pressed or let go, or a click
# somewhere inside the window, with no delay between them (a click is the
# button pressed and let go: xdotool's own click waits 100 ms).
batch_commands() {
    local i key
    commands=()
    for ((i = 0; i < BATCH; i++)); do
        key=${KEYS[RANDOM % ${#KEYS[@]}]}
        case $((RANDOM % 5)) in
            0 | 1) commands+=(keydown --delay 0 "$key") ;;
            2 | 3) commands+=(keyup --delay 0 "$key") ;;
            4) commands+=(mousemove --window "$window" $((RANDOM % CLIENT_WIDTH))
                $((RANDOM % CLIENT_HEIGHT)) mousedown 1 mouseup 1) ;;
        esac
    done
}

start_program
echo "window $window (pid $program_pid)"
# The start-up is over once the picture is drawn.
shoot_until panel_drawn || {
    kill -0 "$program_pid" 2>/dev/null ||
        fatal "the program went away before drawing its side panel"
    fatal "no side panel within ${GUARD_SECONDS} s"
}
timeout "$GUARD_SECONDS" xdotool windowfocus --sync "$window" ||
    fatal "xdotool could not focus the window"

start=$SECONDS
batches=0
failed_batches=0
rss_warm=""
while ((SECONDS - start < SOAK_SECONDS)); do
    batch_commands
    # A command xdotool refuses ends only its own batch; the soak goes on.
    timeout "$GUARD_SECONDS" xdotool "${commands[@]}" 2>>"$work/xdotool.log" ||
        failed_batches=$((failed_batches + 1))
    batches=$((batches + 1))
    expect_running "after $batches batches"
    wait_for_ping "$window" ||
        fatal "the program did not catch up with its input within ${GUARD_SECONDS} s (batch $batches)"
    if [[ -z "$rss_warm" ]] && ((SECONDS - start >= WARM_UP_SECONDS)); then
        rss_warm=$(resident_kib)
        echo "resident memory after ${WARM_UP_SECONDS} s: ${rss_warm} KiB"
    fi
done
# Every key let go, so that nothing is left held.
release=()
for key in "${KEYS[@]}"; do
    release+=(keyup --delay 0 "$key")
done
timeout "$GUARD_SECONDS" xdotool "${release[@]}" 2>>"$work/xdotool.log"
expect_running "at the end"
xdotool search --name '^KARIDO$' 2>/dev/null | grep -qx "$window" ||
    fatal "the program's window has gone away during the soak"
rss_end=$(resident_kib)
echo "resident memory after ${SOAK_SECONDS} s: ${rss_end} KiB"
echo "sent $batches batches of $BATCH commands ($failed_batches refused by xdotool)"
if ((failed_batches == batches)); then
    cat "$work/xdotool.log" >&2
    fatal "xdotool refused every batch: no input reached the program"
fi
pass "the program ran through ${SOAK_SECONDS} s of random keys and clicks"

if [[ "$rss_warm" =~ ^[0-9]+$ && "$rss_end" =~ ^[0-9]+$ ]]; then
    growth=$((rss_end - rss_warm))
    if ((growth <= RSS_TOLERANCE_KIB)); then
        pass "resident memory grew by $growth KiB (at most $RSS_TOLERANCE_KIB)"
    else
        fail "resident memory grew by $growth KiB, from $rss_warm to $rss_end (at most $RSS_TOLERANCE_KIB)"
    fi
else
    fail "cannot read the resident memory (after the warm-up '${rss_warm}', at the end '${rss_end}')"
fi

send_close "$window" || fatal "could not send WM_DELETE_WINDOW"
expect_clean_exit WM_DELETE_WINDOW "closing the window"

finish window_soak
