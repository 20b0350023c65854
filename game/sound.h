// The sounds of the menus: an event code names a "SOUND" resource, which
// plays straight from the executable's memory; the simple beep stands in
// for any sound that cannot be played. Render thread only (the game tick).
#pragma once

#include "base/state.h"

// The resource name of a sound event: "CLICK", "CANSEL", "OPEN" or
// "INCORRECT" for SOUND_CLICK .. SOUND_INCORRECT, null for any other code.
const char* SoundResourceName(unsigned event);

// Readies every sound of the events for playing; on the user-interface
// thread, while the window is created, so that the game tick later starts
// them without converting anything.
void PrepareUiSounds(AppState* state);

// Plays the sound of event (PlaySoundResource of its name).
void PlayUiSound(AppState* state, unsigned event);

// Looks up the "SOUND" resource name (null finds nothing) in
// state->hinstance and starts it without waiting; when nothing is found or
// the start fails, beeps instead. Nothing is reported, nothing retried, and
// the state does not change.
void PlaySoundResource(AppState* state, const char* name);
