#!/usr/bin/env bash
# Measures how fast the real program runs in a window, against how fast the
# same frames run headless, and what the window's main thread costs, under a
# virtual X server (Xvfb): once with SDL_RENDER_DRIVER=software and once with
# the renderer SDL chooses by itself.
#
# Usage: bench/window_speed.sh PATH_TO_KARIDO PATH_TO_CAPTURE PATH_TO_FPS_READER
#   e.g. bench/window_speed.sh build/default/app/karido \
#            build/default/tools/karido-capture build/default/tools/karido-fps-reader
# Needs Xvfb, xdotool, ImageMagick (import, convert), python3 and getconf.
#
# For each renderer:
# - the program is started and its frames-per-second counter read off a
#   screenshot of the window with karido-fps-reader (which knows the
#   counter's glyphs from the program's own font) until it shows; then it is
#   left SETTLE_SECONDS to settle;
# - the main thread's share of a core: its utime + stime in clock ticks
#   (fields 14 and 15 of /proc/PID/task/PID/stat, the main thread's id being
#   the process's) over CPU_SECONDS, divided by the elapsed time times
#   CLK_TCK, while the render thread runs (the process has more than one
#   thread throughout);
# - three times in turn: the program is stopped (SIGSTOP) while
#   `karido-capture --frames 20000 --benchmark` measures the headless rate,
#   then let go on (SIGCONT), and SHOT_SPACING_SECONDS later a screenshot is
#   read (the counter then shows a whole second counted after the stop).
#   Each figure is the median of its three; taking them in turn keeps the
#   two comparable on a machine whose load changes;
# and prints exactly:
#   window: N fps, headless: M fps, ratio R
#   main thread: P % of a core
# after a line naming the renderer.
#
# It is a measurement, not a test: it exits 0 whatever the figures are, and
# non-zero only when it cannot measure (2 for bad arguments, 1 otherwise: a
# tool missing, the program or Xvfb failing, a counter that cannot be read).
set -uo pipefail

readonly SETTLE_SECONDS=3
readonly CPU_SECONDS=5
readonly SHOT_SPACING_SECONDS=2.5
readonly HEADLESS_FRAMES=20000

usage() {
    echo "usage: $0 PATH_TO_KARIDO PATH_TO_CAPTURE PATH_TO_FPS_READER (executables)" >&2
    exit 2
}
(($# == 3)) || usage
for executable in "$@"; do
    [[ -n "$executable" && -x "$executable" && ! -d "$executable" ]] || usage
done
karido=$(realpath "$1")
capture=$(realpath "$2")
reader=$(realpath "$3")

source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/e2e_common.sh"
e2e_init "$karido" Xvfb xdotool import convert python3 getconf realpath
clock_ticks=$(getconf CLK_TCK)
if ! [[ "$clock_ticks" =~ ^[0-9]+$ ]] || ((clock_ticks == 0)); then
    fatal "getconf CLK_TCK gave '$clock_ticks'"
fi

# The median of three numbers.
median() { printf '%s\n' "$@" | sort -n | sed -n 2p; }

# The headless rate of one run; sets headless_fps.
measure_headless() {
    local output
    output=$("$capture" --frames "$HEADLESS_FRAMES" --benchmark) ||
        fatal "karido-capture --benchmark failed"
    headless_fps=$(sed -n 's/.*, \([0-9][0-9]*\) frames per second.*/\1/p' <<<"$output")
    [[ "$headless_fps" =~ ^[0-9]+$ ]] || fatal "karido-capture printed no rate: $output"
}

# True when shot.png shows a readable counter; sets counter to its number.
counter_read() {
    counter=$("$reader" "$work/shot.png" 2>"$work/reader.log") && [[ "$counter" =~ ^[0-9]+$ ]]
}

# utime + stime of the main thread, in clock ticks.
main_thread_ticks() {
    local stat fields
    stat=$(<"/proc/$program_pid/task/$program_pid/stat") || return 1
    # The fields after the command name, which is in parentheses; the first
    # of them is field 3 (the state), so utime (14) and stime (15) are the
    # 12th and 13th.
    read -r -a fields <<<"${stat##*) }"
    echo $((fields[11] + fields[12]))
}

# The program's threads; 0 once it has gone.
thread_count() {
    local tasks=("/proc/$program_pid/task/"*)
    if [[ -e "${tasks[0]}" ]]; then
        echo "${#tasks[@]}"
    else
        echo 0
    fi
}

# Nanoseconds of the system's clock.
now_ns() { date +%s%N; }

# The window's rate and the main thread's share for the program as it is
# started by start_program; prints the two lines.
measure_window() {
    start_program
    shoot_until counter_read ||
        fatal "no readable frames-per-second counter within ${GUARD_SECONDS} s: $(cat "$work/reader.log")"
    sleep "$SETTLE_SECONDS"

    (($(thread_count) > 1)) || fatal "the program runs no render thread"
    local ticks_before ticks_after ns_before ns_after
    ns_before=$(now_ns)
    ticks_before=$(main_thread_ticks) || fatal "cannot read the main thread's times"
    sleep "$CPU_SECONDS"
    ticks_after=$(main_thread_ticks) || fatal "cannot read the main thread's times"
    ns_after=$(now_ns)
    (($(thread_count) > 1)) || fatal "the render thread has gone away"

    local readings=() rates=()
    for _ in 1 2 3; do
        kill -STOP "$program_pid" || fatal "cannot stop the program for the headless run"
        measure_headless
        kill -CONT "$program_pid" || fatal "cannot let the program go on"
        rates+=("$headless_fps")
        sleep "$SHOT_SPACING_SECONDS"
        take_shot || fatal "cannot take a screenshot of the window: $(cat "$work/import.log")"
        counter_read || fatal "the counter cannot be read: $(cat "$work/reader.log")"
        readings+=("$counter")
    done
    headless_fps=$(median "${rates[@]}")
    echo "window readings: ${readings[*]} fps; headless: ${rates[*]} fps;" \
        "main thread: $((ticks_after - ticks_before)) ticks in $(((ns_after - ns_before) / 1000000)) ms" >&2
    local window_fps
    window_fps=$(median "${readings[@]}")

    send_close "$window" || fatal "could not send WM_DELETE_WINDOW"
    wait_for_exit
    [[ -n "$exit_status" ]] || fatal "the program still runs ${GUARD_SECONDS} s after WM_DELETE_WINDOW"

    awk -v w="$window_fps" -v h="$headless_fps" \
        'BEGIN { printf "window: %d fps, headless: %d fps, ratio %.2f\n", w, h, w / h }'
    awk -v t=$((ticks_after - ticks_before)) -v ns=$((ns_after - ns_before)) -v hz="$clock_ticks" \
        'BEGIN { printf "main thread: %.1f %% of a core\n", 100 * t / (ns / 1e9 * hz) }'
}

start_xvfb

# start_program (e2e_common.sh) starts the program with
# SDL_RENDER_DRIVER=software. For SDL's own choice the program is started
# through a wrapper that drops the variable; it execs, so the process, its
# id and its main thread are the program's.
cat >"$work/default-renderer" <<WRAPPER
#!/bin/sh
exec env -u SDL_RENDER_DRIVER "$karido" "\$@"
WRAPPER
chmod +x "$work/default-renderer"

for renderer in software default; do
    if [[ "$renderer" == software ]]; then
        program=$karido
    else
        program=$work/default-renderer
    fi
    echo "renderer: $renderer"
    measure_window
done
