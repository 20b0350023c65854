#!/usr/bin/env bash
# The Windows program under Wine on a 256-colour display whose colours go
# through a palette (an 8-bit PseudoColor X screen, with Wine's private
# colormap) shows the same picture as on a true-colour one: the side panel,
# all but its frames-per-second counter the same on every frame, is compared
# pixel for pixel between the two, and its distinct colours are counted on
# each. On the 8-bit display the program says what GDI told it of the display
# (KARIDO_REPORT_DISPLAY), and the palette it realised must have reached the
# display: every colour of the true-colour panel is in the window's colormap.
#
# Nothing here waits for a fixed time: each step polls for what it needs, and
# GUARD_SECONDS only ends a step that would otherwise hang.
#
# Usage: palette_display_e2e.sh KARIDO_EXE
# Needs Xvfb, xdotool, xwininfo (x11-utils), ImageMagick, python3 and Wine.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
e2e_init "${1:-}" Xvfb xdotool xwininfo import convert compare python3 timeout wine wineboot \
    wineserver

# The frames-per-second counter, relative to the panel: the only part of it
# that changes from frame to frame. It is painted black on both sides.
readonly COUNTER_IN_PANEL='rectangle 4,7 64,19'
# The 20 static colours of a palette display.
readonly STATIC_COLOURS='#000000 #800000 #008000 #808000 #000080 #800080 #008080 #C0C0C0
#C0DCC0 #A6CAF0 #FFFBF0 #A0A0A4 #808080 #FF0000 #00FF00 #FFFF00 #0000FF #FF00FF #00FFFF #FFFFFF'

# start_xvfb starts a true-colour screen; while screen_depth is set, its Xvfb
# gets a screen of that depth instead. (exec: the background job start_xvfb
# watches is Xvfb itself.)
screen_depth=''
Xvfb() {
    local args=("$@")
    if [[ -n "$screen_depth" ]]; then
        args=("${args[@]/%1024x768x24/1024x768x$screen_depth}")
    fi
    exec Xvfb "${args[@]}"
}

# Ends the X server; the display number it named goes too, so that the next
# start_xvfb waits for its own.
stop_xvfb() {
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
    rm -f "$work/display"
}

# True when shot.png shows the side panel with its counter drawn.
counter_drawn() {
    local white
    panel_drawn || return 1
    white=$(count_colour '61x13+260+7' 'rgb(255,255,255)')
    [[ "$white" =~ ^[0-9]+$ ]] && ((white >= 8))
}

# Runs the program on the current display until its counter is drawn, keeps
# the panel as $1-panel.png and with its counter blacked out as $1.png, and
# the window's colormap in colormap, and closes it; the Wine session ends
# with it, so that the next one starts on the next display.
run_and_keep_panel() {
    local name=$1
    start_program
    shoot_until counter_drawn ||
        fatal "$name: no side panel with its counter within ${GUARD_SECONDS} s"
    convert "$work/shot.png" -crop "$PANEL" +repage -alpha off "png24:$work/$name-panel.png"
    convert "$work/$name-panel.png" -fill black -draw "$COUNTER_IN_PANEL" "png24:$work/$name.png"
    tr -d '\r' <"$work/stderr" >"$work/$name.stderr"
    colormap=$(python3 - "$window" <<'EOF'
# The window's colormap, as 256 colours #RRGGBB.
import ctypes, re, subprocess, sys
info = subprocess.run(["xwininfo", "-id", sys.argv[1]], capture_output=True, text=True).stdout
found = re.search(r"Colormap: (0x[0-9a-f]+)", info)
if not found:
    sys.exit("no colormap in xwininfo's answer")
x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XQueryColors.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_void_p, ctypes.c_int]
class XColor(ctypes.Structure):
    _fields_ = [("pixel", ctypes.c_ulong), ("red", ctypes.c_ushort), ("green", ctypes.c_ushort),
                ("blue", ctypes.c_ushort), ("flags", ctypes.c_char), ("pad", ctypes.c_char)]
colours = (XColor * 256)()
for i in range(256):
    colours[i].pixel = i
display = x11.XOpenDisplay(None)
x11.XQueryColors(display, int(found.group(1), 16), colours, 256)
print(" ".join("#%02X%02X%02X" % (c.red >> 8, c.green >> 8, c.blue >> 8) for c in colours))
EOF
    )
    send_close "$window" || fatal "$name: could not send WM_DELETE_WINDOW"
    expect_clean_exit WM_DELETE_WINDOW "$name: closing the window"
    timeout "$GUARD_SECONDS" wineserver -k
    timeout "$GUARD_SECONDS" wineserver -w
}

# The distinct colours of the panel of run $1, one #RRGGBB a line.
panel_colours() {
    convert "$work/$1-panel.png" -unique-colors -depth 8 txt:- |
        sed -n 's/.* \(#[0-9A-F]\{6\}\).*/\1/p' | sort -u
}

start_xvfb
echo "true-colour Xvfb on display $DISPLAY"
# A fresh prefix whose X11 driver gives a PseudoColor display a private
# colormap: the program's realised palette then has all of the system
# palette but the static colours. Its windows are drawn on the X window
# itself, as GDI draws on a real display: Wine's own window buffers would
# map every pixel onto the 20 static colours, whatever was realised.
use_wine
echo "Wine prefix $WINEPREFIX"
timeout "$GUARD_SECONDS" wine reg add 'HKCU\Software\Wine\X11 Driver' /v PrivateColorMap \
    /t REG_SZ /d Y /f >/dev/null 2>&1 || fatal "cannot set PrivateColorMap in the Wine prefix"
timeout "$GUARD_SECONDS" wine reg add 'HKCU\Software\Wine\X11 Driver' /v ClientSideGraphics \
    /t REG_SZ /d N /f >/dev/null 2>&1 || fatal "cannot set ClientSideGraphics in the Wine prefix"
timeout "$GUARD_SECONDS" wineserver -w
export KARIDO_REPORT_DISPLAY=1

run_and_keep_panel truecolour
echo "true colour: $(grep '^display:' "$work/truecolour.stderr")"
stop_xvfb

screen_depth=8
start_xvfb
echo "8-bit PseudoColor Xvfb on display $DISPLAY"
run_and_keep_panel palette
palette_colormap=$colormap

line=$(grep '^display:' "$work/palette.stderr")
echo "8-bit: ${line:-no display line}"
if [[ "$line" == *'RASTERCAPS RC_PALETTE,'* && "$line" =~ realised\ [1-9] ]]; then
    pass "8-bit: a palette display, and the program realised its palette there"
else
    fail "8-bit: expected a palette display with a realised palette, the program said '${line}'"
fi

truecolour_colours=$(panel_colours truecolour)
palette_colours=$(panel_colours palette)
echo "true colour: $(wc -l <<<"$truecolour_colours") distinct colours in the panel:" \
    $truecolour_colours
echo "8-bit: $(wc -l <<<"$palette_colours") distinct colours in the panel:" $palette_colours

missing=$(comm -23 <(echo "$truecolour_colours") <(tr ' ' '\n' <<<"$palette_colormap" | sort -u))
if [[ -z "$missing" ]]; then
    pass "8-bit: every colour of the true-colour panel is in the window's colormap"
else
    fail "8-bit: the window's colormap lacks" $missing
fi

differing=$(compare -metric AE "$work/truecolour.png" "$work/palette.png" null: 2>&1)
if [[ "${differing%% *}" == 0 ]]; then
    pass "the panels are the same pixel for pixel"
else
    fail "the panels differ in ${differing} of $PANEL_PIXELS pixels; the first (x,y truecolour 8-bit):"
    paste -d ' ' <(convert "$work/truecolour.png" -depth 8 txt:- | tail -n +2) \
        <(convert "$work/palette.png" -depth 8 txt:- | tail -n +2) |
        awk '$3 != $7 { print "  " $1 " " $3 " " $7 }' | sed 's/:/ /' | head -n 10 >&2
    only_statics=$(comm -23 <(echo "$palette_colours") <(tr ' ' '\n' <<<"$STATIC_COLOURS" | sort -u))
    if [[ -z "$only_statics" && -z "$missing" ]]; then
        echo "  the 8-bit window shows the static colours only, though its colormap holds" \
            "the realised palette: the window's pixels are mapped to the static entries" \
            "(is Wine drawing through window buffers of its own?)" >&2
    fi
fi

finish palette_display_e2e
