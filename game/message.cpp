#include "game/message.h"

#include "platform/cp932.h"
#include "platform/draw_context.h"
#include "platform/window.h"
#include "surface/surface.h"

int messagePause = 0;

namespace {

// Where the text goes: three lines of the 12-pixel font.
constexpr platform::Rect messageRect{8, 200, 248, 236};

constexpr uint8_t COMMA_LEAD = 0x81;  // "、" in CP932
constexpr uint8_t COMMA_TRAIL = 0x41;
constexpr int PANEL_Y = 192;
constexpr int INDICATOR_X = 236;
constexpr int INDICATOR_Y = 236;
constexpr int INDICATOR_SIZE = 12;
constexpr uint32_t INDICATOR_BLINK_BIT = 0x100;

uint8_t ByteAt(const AppState* state, int index) {
    return static_cast<uint8_t>(state->messageText[index]);
}

// One typewriter step: a character, one or two bytes by its first byte; a
// comma starts the pause. A lead byte as the last byte of the text counts
// alone, so the shown count never passes the length.
void RevealOne(AppState* state) {
    int step = 1;
    if (platform::Cp932IsLeadByte(ByteAt(state, state->messageShown)) &&
        state->messageShown + 1 < state->messageLength) {
        step = 2;
        if (ByteAt(state, state->messageShown) == COMMA_LEAD &&
            ByteAt(state, state->messageShown + 1) == COMMA_TRAIL) {
            messagePause = MESSAGE_COMMA_PAUSE;
        }
    }
    state->messageShown += step;
}

}  // namespace

void MessageStart(AppState* state, const char* text) {
    int length = 0;
    if (text != nullptr) {
        while (text[length] != '\0' && length < MESSAGE_TEXT_SIZE - 1) {
            const bool pair = platform::Cp932IsLeadByte(static_cast<uint8_t>(text[length])) &&
                              text[length + 1] != '\0';
            if (pair && length + 2 > MESSAGE_TEXT_SIZE - 1) {
                break;  // the pair does not fit whole
            }
            const int size = pair ? 2 : 1;
            for (int i = 0; i < size; ++i) {
                state->messageText[length + i] = text[length + i];
            }
            length += size;
        }
    }
    state->messageText[length] = '\0';
    state->messageLength = length;
    state->messageShown = 0;
    state->messageState = MESSAGE_TYPING;
}

void MessageDraw(AppState* state) {
    SurfaceBlit(state->target, 0, PANEL_Y, 256, 64, state->imgMessagePanel, 0, 0, -1);
    if (state->messageState == MESSAGE_TYPING) {
        if (messagePause != 0) {
            messagePause -= 1;
        } else if (state->messageShown < state->messageLength) {
            RevealOne(state);
        } else {
            state->messageState = MESSAGE_WAITING;
        }
    } else if (state->messageState == MESSAGE_WAITING) {
        const bool first = (platform::WindowTicks(state->hwnd) & INDICATOR_BLINK_BIT) != 0;
        SurfaceBlit(state->target, INDICATOR_X, INDICATOR_Y, INDICATOR_SIZE, INDICATOR_SIZE,
                    first ? state->imgMoreA : state->imgMoreB, 0, 0, 0);
    }
    if (state->messageShown > 0) {
        platform::DrawContextDrawText(state->hdcMem, state->messageText, state->messageShown,
                                      &messageRect);
    }
}
