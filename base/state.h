// The one application state record, shared by the user-interface thread and
// the render thread, and the small records and constants that go with it.
#pragma once

#include <atomic>
#include <cstdint>

#include "base/random.h"
#include "base/words.h"
#include "base/surface_record.h"

// Platform objects are opaque to the system; the platform layer defines them.
namespace platform {
struct Window;
struct Module;
struct Palette;
struct Font;
struct Bitmap;
struct DrawContext;
}  // namespace platform

// Held-key bits of AppState::input.
constexpr uint8_t INPUT_UP = 0x01;
constexpr uint8_t INPUT_DOWN = 0x02;
constexpr uint8_t INPUT_LEFT = 0x04;
constexpr uint8_t INPUT_RIGHT = 0x08;
constexpr uint8_t INPUT_SHOT = 0x10;
constexpr uint8_t INPUT_MENU = 0x20;
using InputBits = uint8_t;

// Shot slot states.
constexpr int SHOT_FREE = 0;
constexpr int SHOT_FIRED = 1;
constexpr int SHOT_FLYING = 2;

// Message window states.
constexpr int MESSAGE_CLOSED = 0;
constexpr int MESSAGE_TYPING = 1;
constexpr int MESSAGE_WAITING = 2;

// User-interface sound events.
constexpr unsigned SOUND_CLICK = 1;
constexpr unsigned SOUND_CANCEL = 2;
constexpr unsigned SOUND_OPEN = 3;
constexpr unsigned SOUND_INCORRECT = 4;

// Sizes of the record's tables.
constexpr int SPRITE_COUNT = 256;
constexpr int LAYER_COUNT = 2;
constexpr int FLOATER_COUNT = 256;
constexpr int FLOATER_TEXT_SIZE = 12;
constexpr int SHOT_SLOT_COUNT = 200;
constexpr int MESSAGE_TEXT_SIZE = 256;
constexpr int LIST_CAPACITY = 1024;

// A floating number. The word is the hand-over point between the threads:
// the user-interface thread writes the text of a free slot first and then
// publishes the word with release ordering; the render thread reads the word
// with acquire ordering before it reads the text.
struct Floater {
    std::atomic<FloaterWord> word;
    char text[FLOATER_TEXT_SIZE];
};
static_assert(sizeof(Floater) == 16);
static_assert(std::atomic<FloaterWord>::is_always_lock_free);

// A row of the static item table; the table ends with a row whose iconId is 0.
struct ItemRecord {
    int iconId;               // resource id of the 48x48 icon bitmap
    const char* name;         // CP932, space-padded to 14 bytes
    const char* reading;      // hiragana reading; nothing displays it
    const char* description;  // CP932, may hold line feeds
    Surface* icon;            // loaded on first display, null until then
};

// A row of the item list.
struct ListEntry {
    ItemRecord* item;
    int value;  // the number shown beside the name
};

struct AppState;
using TickFunction = int (*)(AppState* state);

struct AppState {
    platform::Window* hwnd;
    const platform::Module* hinstance;  // whose resources are loaded
    platform::Palette* hpalette;
    platform::Font* hfont;
    platform::Bitmap* hbitmap;
    platform::DrawContext* hdcMem;
    Surface backBuffer;  // does not own its pixels
    Surface* target;     // where every blit draws: &backBuffer
    int zoom;
    int frameCount;
    int viewWidth;
    int viewHeight;
    TickFunction tick;
    Surface* imgCursor;
    Surface* imgOverlay;
    Surface* imgListPanel;
    Surface* imgMessagePanel;
    Surface* imgMoreA;
    Surface* imgMoreB;
    Surface* imgScratch;
    Surface* imgSprites;
    Surface* layers[LAYER_COUNT];
    SpriteWord sprites[SPRITE_COUNT];
    LayerWord layerWords[LAYER_COUNT];
    Floater floaters[FLOATER_COUNT];
    // The stars' and the floating numbers' generator: seeded in Create,
    // drawn from by StarsScatter (in Create) and FloaterSpawn (on a left
    // click), all on the user-interface thread only.
    Random random;
    // Written by the user-interface thread as keys go down and up, read by
    // the tick on the render thread.
    std::atomic<InputBits> input;
    int menuLatch;
    int listActive;
    int listSelection;
    uint32_t repeatStamp;
    int shotState[SHOT_SLOT_COUNT];
    char messageText[MESSAGE_TEXT_SIZE];
    int messageLength;
    int messageShown;
    int messageState;
    ListEntry listEntries[LIST_CAPACITY];
    int listCount;
    int listTop;
};
static_assert(std::atomic<InputBits>::is_always_lock_free);

// Sets bits in the held-key byte (a single atomic read-modify-write).
inline void InputPress(AppState* state, InputBits bits) {
    state->input.fetch_or(bits, std::memory_order_relaxed);
}

// Clears bits in the held-key byte.
inline void InputRelease(AppState* state, InputBits bits) {
    state->input.fetch_and(static_cast<InputBits>(~bits), std::memory_order_relaxed);
}

inline InputBits InputRead(const AppState* state) {
    return state->input.load(std::memory_order_relaxed);
}

// The program's one instance; it starts all zero, so every state machine starts idle.
inline AppState appState;
