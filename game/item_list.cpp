#include "game/item_list.h"

#include <cstdio>
#include <cstring>

#include "game/sound.h"
#include "platform/draw_context.h"
#include "platform/window.h"
#include "surface/bitmap_load.h"
#include "surface/palette.h"
#include "surface/screen_index.h"
#include "surface/surface.h"

namespace {

// One formatted row, "<name>：<value>", and the description's rectangle:
// four lines of the 12-pixel font beside the icon.
char listLineText[32];
constexpr platform::Rect descriptionRect{8, 200, 200, 248};

constexpr InputBits DIRECTIONS = INPUT_UP | INPUT_DOWN | INPUT_LEFT | INPUT_RIGHT;
constexpr int COLUMN_WIDTH = 124;
constexpr int LINE_HEIGHT = 12;
constexpr int LAST_LINE_OFFSET = LIST_VISIBLE_ENTRIES - 2;  // the first entry of the last line
constexpr int ICON_X = 202;
constexpr int ICON_Y = 200;
constexpr int ICON_SIZE = 48;

bool Held(const AppState* state, InputBits bits) { return (InputRead(state) & bits) != 0; }

// Applies the held directions, each on its own; true when any moved.
bool Move(AppState* state) {
    const struct {
        InputBits bit;
        int step;
    } moves[] = {{INPUT_UP, -2}, {INPUT_DOWN, 2}, {INPUT_LEFT, -1}, {INPUT_RIGHT, 1}};
    bool moved = false;
    for (const auto& move : moves) {
        if (Held(state, move.bit)) {
            state->listSelection += move.step;
            state->repeatStamp = platform::WindowTicks(state->hwnd);
            moved = true;
        }
    }
    return moved;
}

// The selected line in view: last when it was below, first when above.
void ScrollToSelection(AppState* state) {
    if (state->listSelection > state->listTop + LAST_LINE_OFFSET) {
        state->listTop = state->listSelection / 2 * 2 - LAST_LINE_OFFSET;
    } else if (state->listSelection < state->listTop) {
        state->listTop = state->listSelection / 2 * 2;
    }
}

// The selected item whose icon could not be loaded: while it stays selected
// the load is not tried again; selected anew, it is tried once more.
const ItemRecord* iconRefused = nullptr;

// The row's icon, loaded and prepared on its first display; null when it
// cannot be loaded (then nothing is drawn).
Surface* IconOf(AppState* state, ItemRecord* item) {
    if (item->icon == nullptr && item != iconRefused) {
        item->icon = SurfaceLoadResource(state->hinstance, item->iconId);
        if (item->icon == nullptr) {
            iconRefused = item;
        } else {
            SurfaceMatchPalette(item->icon, state->hpalette);
            SurfaceToScreenIndices(item->icon);
        }
    }
    return item->icon;
}

void DrawSelected(AppState* state, ItemRecord* item, int x, int y, int length) {
    platform::DrawContextTextOut(state->hdcMem, x + 1, y, listLineText, length);
    platform::DrawContextDrawText(state->hdcMem, item->description, -1, &descriptionRect);
    if (Surface* icon = IconOf(state, item)) {
        SurfaceBlit(state->target, ICON_X, ICON_Y, ICON_SIZE, ICON_SIZE, icon, 0, 0, -1);
    }
}

}  // namespace

int ListLineFormat(char* out, size_t size, const char* name, int value) {
    if (size == 0) {
        return 0;
    }
    // The digits, backwards: at least two, a minus sign before them.
    char digits[16];
    int count = 0;
    const bool negative = value < 0;
    unsigned magnitude = negative ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (count < 2 && !negative) {
        digits[count++] = '0';  // a minus sign fills the width too
    }
    if (negative) {
        digits[count++] = '-';
    }
    size_t length = 0;
    const auto put = [&](char c) {
        if (length + 1 < size) {
            out[length++] = c;
        }
    };
    for (const char* c = name; *c != '\0'; ++c) {
        put(*c);
    }
    put('\x81');
    put('\x46');
    while (count > 0) {
        put(digits[--count]);
    }
    out[length] = '\0';
    return static_cast<int>(length);
}

void ItemListBuild(AppState* state, ItemRecord* table) {
    state->listCount = 0;
    for (ItemRecord* row = table; row->iconId != 0 && state->listCount < LIST_CAPACITY; ++row) {
        state->listEntries[state->listCount] = ListEntry{row, state->listCount};
        state->listCount += 1;
    }
}

void ItemListRelease(AppState* state) {
    for (int i = 0; i < state->listCount; ++i) {
        ItemRecord* row = state->listEntries[i].item;
        SurfaceDestroy(row->icon);
        row->icon = nullptr;
    }
}

void ListTick(AppState* state) {
    // The menu key closes the list; the rest of the tick still runs.
    if (state->menuLatch) {
        if (!Held(state, INPUT_MENU)) {
            state->menuLatch = 0;
        }
    } else if (Held(state, INPUT_MENU)) {
        state->listActive = 0;
        state->menuLatch = 1;
        PlayUiSound(state, SOUND_CANCEL);
    }

    // A running delay: the tick moves nothing, and ends the delay once the
    // keys are up or more than the repeat time has passed.
    if (state->repeatStamp != 0) {
        const uint32_t since = platform::WindowTicks(state->hwnd) - state->repeatStamp;
        if (!(Held(state, DIRECTIONS) && since <= LIST_REPEAT_MS)) {
            state->repeatStamp = 0;
        }
        return;
    }

    const bool moved = Move(state);
    if (state->listSelection < 0) {
        state->listSelection = 0;
        PlayUiSound(state, SOUND_INCORRECT);
    } else if (state->listSelection >= state->listCount) {
        state->listSelection = state->listCount - 1;
        PlayUiSound(state, SOUND_INCORRECT);
    } else if (moved) {
        PlayUiSound(state, SOUND_CLICK);
    }
}

void ItemListDraw(AppState* state) {
    SurfaceBlit(state->target, 0, 0, 256, 192, state->imgListPanel, 0, 0, -1);
    SurfaceBlit(state->target, 0, 192, 256, 64, state->imgMessagePanel, 0, 0, -1);
    ScrollToSelection(state);
    if (state->listSelection >= 0 && state->listSelection < state->listCount &&
        state->listEntries[state->listSelection].item != iconRefused) {
        iconRefused = nullptr;  // another item is selected: its load may be tried
    }
    SurfaceBlit(state->target, 4 + COLUMN_WIDTH * (state->listSelection % 2),
                6 + LINE_HEIGHT * ((state->listSelection - state->listTop) / 2), 12, 12,
                state->imgCursor, 0, 0, -1);
    for (int i = 0; i < LIST_VISIBLE_ENTRIES && state->listTop + i < state->listCount; ++i) {
        const ListEntry& entry = state->listEntries[state->listTop + i];
        const int x = 16 + COLUMN_WIDTH * (i % 2);
        const int y = 6 + LINE_HEIGHT * (i / 2);
        const int shown = ListLineFormat(listLineText, sizeof listLineText, entry.item->name,
                                         entry.value);
        platform::DrawContextTextOut(state->hdcMem, x, y, listLineText, shown);
        if (state->listTop + i == state->listSelection) {
            DrawSelected(state, entry.item, x, y, shown);
        }
    }
}
