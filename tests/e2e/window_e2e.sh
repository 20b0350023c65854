#!/usr/bin/env bash
# Runs the real program in a virtual X server and checks what a person would
# see: the window by its title, its fixed 384x256 client area, the picture on
# it (the star field, the side panel and its frame counter), that input does
# not upset it, that the game's windows open and close with their keys (the
# message window, the item list and its cursor), and that it ends with status
# 0 when its window is closed and when it is sent SIGTERM. With
# --without-audio it does all this with an audio driver that does not exist;
# with --wine it checks the Windows program (karido.exe) under Wine, in a
# fresh Wine prefix, where SIGTERM is not a way of closing a window.
#
# Nothing here waits for a fixed time: each step polls for what it needs (a
# window, a drawn picture, a changed picture, a count of new frames, an exit),
# and GUARD_SECONDS only ends a step that would otherwise hang.
#
# Usage: window_e2e.sh PATH_TO_KARIDO [--without-audio | --wine]
# Needs Xvfb, xdotool, xwininfo and xprop (x11-utils), ImageMagick and
# python3; with --wine, Wine.
set -uo pipefail

# With --without-audio the program is given an audio driver that does not
# exist: it must run all the same, only without sound.
under_wine=0
case ${2:-} in
    '') run_name=window_e2e ;;
    --without-audio)
        run_name='window_e2e --without-audio'
        export SDL_AUDIODRIVER=nosuchdriver
        ;;
    --wine)
        run_name='window_e2e --wine'
        under_wine=1
        ;;
    *)
        echo "usage: $0 PATH_TO_KARIDO [--without-audio | --wine]" >&2
        exit 2
        ;;
esac

source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
tools=(Xvfb xdotool xwininfo xprop import convert python3 timeout)
((under_wine == 0)) || tools+=(wine wineboot wineserver)
e2e_init "${1:-}" "${tools[@]}"
start_xvfb
echo "Xvfb on display $DISPLAY"
if ((under_wine == 1)); then
    use_wine
    echo "Wine prefix $WINEPREFIX"
fi

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

# Where the game's windows open: the message window across the bottom of the
# field, its text in three lines inside; the item list over the rest of the
# field, its cursor in a 12-pixel cell at the left of each line.
readonly STRIP='256x64+0+192'
readonly STRIP_PIXELS=$((256 * 64))
readonly MESSAGE_TEXT='240x36+8+200'
readonly LIST='256x192+0+0'
readonly LIST_PIXELS=$((256 * 192))
# The cursor cell on line $1 of the list's left column.
cursor_cell() { echo "12x12+4+$((6 + 12 * $1))"; }
# The cursor arrow's white pixels (25, all inside its cell).
readonly CURSOR_WHITE_LOW=20
readonly CURSOR_WHITE_HIGH=36

# What a key does reaches the picture in steps. The event loop reads events
# and shows the newest frame in turn, so by the second new frame after the key
# reached the X server the key has been read; the third was published after
# that, and the render thread ticks after each frame it publishes, so the
# fourth was drawn after a tick that saw the key. Four new frames after a key
# show what it did, if it did anything.
readonly FRAMES_FOR_INPUT=4
# How often a key is pressed for one effect before the check gives up.
readonly MAX_PRESSES=10

# True when region $1 of $2 pixels is at least 40 % blue: a window is open on
# it.
window_open() {
    local blue
    blue=$(count_colour "$1" 'rgb(0,0,255)')
    [[ "$blue" =~ ^[0-9]+$ ]] && ((blue * 100 >= $2 * 40))
}
# True when region $1 of $2 pixels is the star field again: at most 10 % not
# black.
field_shown() {
    local other
    other=$(count_other "$1" 'rgb(0,0,0)')
    [[ "$other" =~ ^[0-9]+$ ]] && ((other * 10 <= $2))
}
# True when the message window is open with text in it.
message_shown() {
    local white
    window_open "$STRIP" "$STRIP_PIXELS" || return 1
    white=$(count_colour "$MESSAGE_TEXT" 'rgb(255,255,255)')
    [[ "$white" =~ ^[0-9]+$ ]] && ((white >= 16))
}
# Counts the white pixels in the cursor cell on line $1.
cursor_white() { count_colour "$(cursor_cell "$1")" 'rgb(255,255,255)'; }
# True when the list is open and its cursor is not on line $1.
cursor_left_line() {
    local white
    window_open "$LIST" "$LIST_PIXELS" || return 1
    white=$(cursor_white "$1")
    [[ "$white" =~ ^[0-9]+$ ]] && ((white <= 2))
}
# True when the list is open with its cursor on line $1 and not on line $2.
cursor_on_line() {
    local white
    cursor_left_line "$2" || return 1
    white=$(cursor_white "$1")
    [[ "$white" =~ ^[0-9]+$ ]] && ((white >= CURSOR_WHITE_LOW && white <= CURSOR_WHITE_HIGH))
}
# The line (0-14) that holds the cursor, in either column, or empty. (Held
# long enough, Down runs to the last item, which is in the right column.)
cursor_line() {
    local line x white
    for line in $(seq 0 14); do
        for x in 4 128; do
            white=$(count_colour "12x12+$x+$((6 + 12 * line))" 'rgb(255,255,255)')
            if [[ "$white" =~ ^[0-9]+$ ]] &&
                ((white >= CURSOR_WHITE_LOW && white <= CURSOR_WHITE_HIGH)); then
                echo "$line"
                return
            fi
        done
    done
}
# Reports the cursor on line $1 and not on line $2, as check $3.
expect_cursor() {
    expect_count "$3: cursor white at $(cursor_cell "$1")" "$(cursor_white "$1")" \
        "$CURSOR_WHITE_LOW" "$CURSOR_WHITE_HIGH"
    expect_count "$3: cursor white at $(cursor_cell "$2")" "$(cursor_white "$2")" 0 2
}

# True when "$@" holds on shot.png (then sets effect_shown), or when
# FRAMES_FOR_INPUT new frames have been shown since the first before.png;
# frames_seen counts them, before.png following the newest.
shown_or_input_read() {
    if "$@"; then
        effect_shown=1
        return 0
    fi
    if picture_changed; then
        frames_seen=$((frames_seen + 1))
        cp "$work/shot.png" "$work/before.png"
    fi
    ((frames_seen >= FRAMES_FOR_INPUT))
}
# Takes screenshots until one shows what "$@" checks (true), or until enough
# new frames have been shown that the input sent before the call would show
# its effect (false); false also on the guard or the program ending.
until_shown_or_input_read() {
    effect_shown=0
    frames_seen=0
    shoot_until true || return 1
    cp "$work/shot.png" "$work/before.png"
    shoot_until shown_or_input_read "$@"
    ((effect_shown == 1))
}
# Presses key $2 until the picture shows what the rest of the arguments
# check, at most MAX_PRESSES times; presses counts them. The key is held
# until the picture shows its effect or the program has read it held, then
# let go; after a press that did nothing the program is also seen to read it
# let go, so that the next press is a new one.
press_until() {
    local key=$1 done=1
    shift
    presses=0
    while ((done != 0 && presses < MAX_PRESSES)); do
        presses=$((presses + 1))
        timeout "$GUARD_SECONDS" xdotool keydown "$key" || return 1
        until_shown_or_input_read "$@"
        done=$?
        timeout "$GUARD_SECONDS" xdotool keyup "$key" || return 1
        ((done == 0)) || until_shown_or_input_read false
        kill -0 "$program_pid" 2>/dev/null ||
            fatal "the program went away while key $key was pressed"
    done
    return "$done"
}

# --- first run: the window, the picture, input, the game's windows, closing -
start_program
echo "window $window (pid $program_pid)"

read_client_size "$window"
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

# The game's windows, through keys held and let go on the focused window.
# Each step waits for the picture it expects; a step that fails ends these
# checks, since the ones after it start from the picture it should have left.
check_game_windows() {
    timeout "$GUARD_SECONDS" xdotool windowfocus --sync "$window" ||
        { fail "xdotool could not focus the window"; return; }

    # Z held fires every tick. The ship is still where it starts, at the left
    # of the field, so its shots are all in flight long before the first one
    # leaves the field, and each tick then starts the out-of-ammo message over:
    # its window opens at once with text.
    timeout "$GUARD_SECONDS" xdotool keydown z ||
        { fail "xdotool could not hold Z down"; return; }
    shoot_until message_shown
    timeout "$GUARD_SECONDS" xdotool keyup z ||
        { fail "xdotool could not let Z go"; return; }
    expect_count "holding Z: message window blue (0,0,255)" \
        "$(count_colour "$STRIP" 'rgb(0,0,255)')" $((STRIP_PIXELS * 40 / 100)) "$STRIP_PIXELS"
    expect_count "holding Z: message text white" \
        "$(count_colour "$MESSAGE_TEXT" 'rgb(255,255,255)')" 16 $((240 * 36 / 2))
    message_shown || return

    # The menu key shows the rest of a message still typing, and closes one
    # that is waiting: it may take two presses.
    if ! press_until x field_shown "$STRIP" "$STRIP_PIXELS"; then
        fail "the message window still open after $presses press(es) of X"
        return
    fi
    expect_count "X closes the message window (press $presses): bottom strip non-black" \
        "$(count_other "$STRIP" 'rgb(0,0,0)')" 0 $((STRIP_PIXELS / 10))

    # With no message open the menu key opens the item list, its cursor on
    # the first entry.
    if ! press_until Escape window_open "$LIST" "$LIST_PIXELS"; then
        fail "no item list after $presses press(es) of Escape"
        return
    fi
    expect_count "Escape opens the item list (press $presses): list blue (0,0,255)" \
        "$(count_colour "$LIST" 'rgb(0,0,255)')" $((LIST_PIXELS * 40 / 100)) "$LIST_PIXELS"
    shoot_until cursor_on_line 0 1
    expect_cursor 0 1 "item list opened"
    cursor_on_line 0 1 || return

    # Down moves the cursor a line down, and again every tenth of a second
    # while it is held: held until the cursor has left the first line, it
    # rests on a line below it, however long that took.
    if press_until Down cursor_left_line 0; then
        shoot_until cursor_left_line 0
        local line
        line=$(cursor_line)
        if [[ -n "$line" ]] && ((line >= 1)); then
            pass "Down (press $presses) moves the cursor down, to line $line"
        else
            fail "after Down the cursor is on no line below the first (line '${line}')"
        fi
    else
        fail "the cursor still on the first line after $presses press(es) of Down"
    fi

    # The menu key closes the list: the field shows again.
    if ! press_until Escape field_shown "$LIST" "$LIST_PIXELS"; then
        fail "the item list still open after $presses press(es) of Escape"
        return
    fi
    expect_count "Escape closes the item list (press $presses): field non-black" \
        "$(count_other "$LIST" 'rgb(0,0,0)')" 0 $((LIST_PIXELS / 10))
}
check_game_windows

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
expect_clean_exit WM_DELETE_WINDOW "closing the window"

# --- second run: SIGTERM is a clean close too -------------------------------
# SIGTERM goes once the program has drawn: its start-up is over by then.
if ((under_wine == 1)); then
    finish "$run_name"
    exit
fi
start_program
if ! shoot_until panel_drawn; then
    kill -0 "$program_pid" 2>/dev/null ||
        fatal "the second run went away before drawing its side panel"
    fatal "no side panel on the second run's window within ${GUARD_SECONDS} s"
fi
kill -TERM "$program_pid"
expect_clean_exit SIGTERM "SIGTERM"

finish "$run_name"
