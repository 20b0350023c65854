// The message window: a panel across the bottom of the field in which a text
// types itself out one character per frame, pauses after each "、", and once
// complete shows a blinking wait indicator until the menu key closes it (the
// field tick handles the key). Render thread only.
#pragma once

#include "base/state.h"

// Frames the typewriter waits after an ideographic comma.
constexpr int MESSAGE_COMMA_PAUSE = 16;

// Frames the typewriter still waits; one counter for the window, which
// MessageStart leaves as it is.
extern int messagePause;

// Opens the window with text (zero-terminated CP932): copies it, at most
// MESSAGE_TEXT_SIZE - 1 bytes and never half of a double-byte character, and
// starts typing it from its first character. A null text is empty.
void MessageStart(AppState* state, const char* text);

// Draws the window into the back buffer and advances the typewriter by at
// most one character: the panel, then (typing) one character, or the pause
// counted down, or the switch to waiting once all is shown; (waiting) the
// indicator, which alternates with bit 0x100 of the window's clock; then the
// text revealed so far, word-wrapped into three lines across the panel.
void MessageDraw(AppState* state);
