#!/usr/bin/env bash
# Runs the real program in a virtual X server and checks what a person would
# see: the window by its title, its fixed 384x256 client area, the picture on
# it (the star field, the side panel and its frame counter), that input does
# not upset it, and that it ends with status 0 when its window is closed and
# when it is sent SIGTERM. With --without-audio it does all this with an audio
# driver that does not exist.
#
# Nothing here waits for a fixed time: each step polls for what it needs (a
# window, a drawn picture, a changed picture, an exit), and GUARD_SECONDS only
# ends a step that would otherwise hang.
#
# Usage: window_e2e.sh PATH_TO_KARIDO [--without-audio]
# Needs Xvfb, xdotool, xwininfo and xprop (x11-utils), ImageMagick and python3.
set -uo pipefail

# With --without-audio the program is given an audio driver that does not
# exist: it must run all the same, only without sound.
case ${2:-} in
    '') run_name=window_e2e ;;
    --without-audio)
        run_name='window_e2e --without-audio'
        export SDL_AUDIODRIVER=nosuchdriver
        ;;
    *)
        echo "usage: $0 PATH_TO_KARIDO [--without-audio]" >&2
        exit 2
        ;;
esac

source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
e2e_init "${1:-}" Xvfb xdotool xwininfo xprop import convert python3 timeout
start_xvfb
echo "Xvfb on display $DISPLAY"

# Asks the window to close the way a window manager's close button does: a
# WM_DELETE_WINDOW client message.
send_close() {
    python3 - "$1" <<'PYTHON'
import ctypes
import sys

x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                           ctypes.c_void_p]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]


display = x11.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the X display")
window = int(sys.argv[1])
event = Event()
event.xclient.type = 33  # ClientMessage
event.xclient.window = window
event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.xclient.format = 32
event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
event.xclient.data[1] = 0  # CurrentTime
if not x11.XSendEvent(display, window, 0, 0, ctypes.byref(event)):
    sys.exit("XSendEvent failed")
x11.XFlush(display)
x11.XCloseDisplay(display)
PYTHON
}

# Counts the pixels in region $1 of the stars' colours: every channel 0 or
# 255, not black (the ship's shaded greys are none of these).
count_star_colours() {
    convert "$work/shot.png" -crop "$1" +repage -alpha off \
        -fx '(r==0||r==1)&&(g==0||g==1)&&(b==0||b==1)&&(r+g+b>0)' \
        -format '%[fx:round(mean*w*h)]' info:
}
# Counts the pixels in region $1 that are not colour $2.
count_other() {
    convert "$work/shot.png" -crop "$1" +repage -alpha off \
        -fill white +opaque "$2" -fill black -opaque "$2" \
        -format '%[fx:round(mean*w*h)]' info:
}

readonly FIELD='256x256+0+0'
readonly FIELD_PIXELS=$((256 * 256))
readonly COUNTER='61x13+260+7'

# True when shot.png shows the side panel and the frames-per-second counter,
# which is first drawn once the program has run for a second.
counter_drawn() {
    local white
    panel_drawn || return 1
    white=$(count_colour "$COUNTER" 'rgb(255,255,255)')
    [[ "$white" =~ ^[0-9]+$ ]] && ((white >= 8))
}
# Counts the pixels that differ between before.png and shot.png.
count_changed() {
    local changed
    changed=$(compare -metric AE "$work/before.png" "$work/shot.png" null: 2>&1 >/dev/null)
    echo "${changed%% *}"
}
# True when shot.png differs from before.png: the program has shown a new
# frame since before.png was taken.
picture_changed() {
    local changed
    changed=$(count_changed)
    [[ "$changed" =~ ^[0-9]+$ ]] && ((changed > 0))
}

# Checks that the count $2 of what $1 describes is within [$3, $4].
expect_count() {
    local what=$1 count=$2 low=$3 high=$4
    if [[ "$count" =~ ^[0-9]+$ ]] && ((count >= low && count <= high)); then
        pass "$what: $count pixels (expected $low..$high)"
    else
        fail "$what: ${count:-no} pixels, expected $low..$high"
    fi
}

# --- first run: the window, the picture, input, closing the window ---------
start_program
echo "window $window (pid $program_pid)"

geometry=$(xwininfo -id "$window")
width=$(awk '/^ *Width:/ {print $2}' <<<"$geometry")
height=$(awk '/^ *Height:/ {print $2}' <<<"$geometry")
if [[ "$width" == "$CLIENT_WIDTH" && "$height" == "$CLIENT_HEIGHT" ]]; then
    pass "client area is ${width}x${height}"
else
    fail "client area is ${width}x${height}, expected ${CLIENT_WIDTH}x${CLIENT_HEIGHT}"
fi

hints=$(xprop -id "$window" WM_NORMAL_HINTS)
minimum=$(sed -n 's/.*minimum size: \([0-9]*\) by \([0-9]*\).*/\1x\2/p' <<<"$hints")
maximum=$(sed -n 's/.*maximum size: \([0-9]*\) by \([0-9]*\).*/\1x\2/p' <<<"$hints")
if [[ "$minimum" == "${CLIENT_WIDTH}x${CLIENT_HEIGHT}" &&
    "$maximum" == "${CLIENT_WIDTH}x${CLIENT_HEIGHT}" ]]; then
    pass "cannot be resized: minimum = maximum = $minimum"
else
    fail "resizable: WM_NORMAL_HINTS minimum '${minimum}', maximum '${maximum}'"
fi

# Waits for the program to have started up and drawn: the side panel and the
# frames-per-second counter on the picture. The checks below then look at
# that picture; should the wait run out, they say what is missing from the
# last one taken.
if ! shoot_until counter_drawn; then
    kill -0 "$program_pid" 2>/dev/null ||
        fatal "the program went away before drawing its side panel and frame counter"
    if [[ ! -s "$work/shot.png" ]]; then
        cat "$work/import.log" >&2
        fatal "cannot take a screenshot of the window"
    fi
    [[ "$shot_size" == "${CLIENT_WIDTH}x${CLIENT_HEIGHT}" ]] ||
        fatal "the screenshot is $shot_size, expected ${CLIENT_WIDTH}x${CLIENT_HEIGHT}"
    fail "no side panel with a frame counter within ${GUARD_SECONDS} s; the last screenshot:"
fi

# The side panel: mostly blue, with grey frames and white details.
expect_count "side panel blue (0,0,255)" "$(count_colour "$PANEL" 'rgb(0,0,255)')" \
    $((PANEL_PIXELS * 30 / 100)) "$PANEL_PIXELS"
light=$(count_colour "$PANEL" 'rgb(192,192,192)')
dark=$(count_colour "$PANEL" 'rgb(128,128,128)')
expect_count "side panel greys (192,192,192) and (128,128,128)" $((light + dark)) 64 \
    $((PANEL_PIXELS / 2))
expect_count "side panel white" "$(count_colour "$PANEL" 'rgb(255,255,255)')" 16 \
    $((PANEL_PIXELS / 4))

# The star field: mostly black, with single-pixel stars in full colours.
expect_count "star field non-black pixels" "$(count_other "$FIELD" 'rgb(0,0,0)')" 3 \
    $((FIELD_PIXELS / 10))
expect_count "star field star-coloured pixels" "$(count_star_colours "$FIELD")" 10 \
    $((FIELD_PIXELS / 20))

# The frames-per-second counter: white digits on the panel's dark box.
expect_count "frame counter white text" "$(count_colour "$COUNTER" 'rgb(255,255,255)')" 8 \
    $((61 * 13 / 2))

# Frames keep coming: the picture changes (the counter shows a new figure at
# least once a second).
cp "$work/shot.png" "$work/before.png"
shoot_until picture_changed ||
    kill -0 "$program_pid" 2>/dev/null ||
    fatal "the program went away while drawing"
expect_count "pixels changed since the first screenshot" "$(count_changed)" 1 \
    $((CLIENT_WIDTH * CLIENT_HEIGHT))

# Input: arrow keys, keypad keys, a click. The program must take them in its
# stride and keep its window. xdotool returns once the X server has the
# input; the picture changing twice after that shows that the program's event
# loop, which reads events and shows frames in turn, has gone round since the
# input reached it.
if timeout "$GUARD_SECONDS" xdotool windowfocus --sync "$window" &&
    timeout "$GUARD_SECONDS" xdotool key --delay 30 Left Right Up Down KP_8 KP_2 &&
    timeout "$GUARD_SECONDS" xdotool mousemove --window "$window" 100 100 click 1; then
    shown=0
    if take_shot; then
        cp "$work/shot.png" "$work/before.png"
        if shoot_until picture_changed; then
            cp "$work/shot.png" "$work/before.png"
            shoot_until picture_changed && shown=1
        fi
    fi
    if ((shown == 0)) && kill -0 "$program_pid" 2>/dev/null; then
        fatal "no new frame within ${GUARD_SECONDS} s after keys and a click"
    fi
    if kill -0 "$program_pid" 2>/dev/null &&
        xdotool search --name '^KARIDO$' 2>/dev/null | grep -qx "$window"; then
        pass "keys and a click handled, window still open"
    else
        fatal "the program went away after keys and a click"
    fi
else
    fail "xdotool could not focus the window or send input"
fi

# Closing the window (what a window manager's close button sends).
send_close "$window" || fatal "could not send WM_DELETE_WINDOW"
wait_for_exit
if [[ -z "$exit_status" ]]; then
    fail "still running ${GUARD_SECONDS} s after WM_DELETE_WINDOW"
    kill -KILL "$program_pid" 2>/dev/null
    wait "$program_pid" 2>/dev/null
    program_pid=""
elif [[ "$exit_status" -eq 0 ]]; then
    pass "closing the window ends the program with status 0"
else
    fail "closing the window ended the program with status $exit_status"
    cat "$work/stderr" >&2
fi

# --- second run: SIGTERM is a clean close too -------------------------------
# SIGTERM goes once the program has drawn: its start-up is over by then.
start_program
if ! shoot_until panel_drawn; then
    kill -0 "$program_pid" 2>/dev/null ||
        fatal "the second run went away before drawing its side panel"
    fatal "no side panel on the second run's window within ${GUARD_SECONDS} s"
fi
kill -TERM "$program_pid"
wait_for_exit
if [[ -z "$exit_status" ]]; then
    fail "still running ${GUARD_SECONDS} s after SIGTERM"
elif [[ "$exit_status" -eq 0 ]]; then
    pass "SIGTERM ends the program with status 0"
else
    fail "SIGTERM ended the program with status $exit_status"
    cat "$work/stderr" >&2
fi

finish "$run_name"
