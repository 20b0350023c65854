// The sounds of the menus: an event code names a "SOUND" resource, which
// plays straight from the executable's memory; the simple beep stands in
// for any sound that cannot be played. Render thread only (the game tick).
#pragma once

#include <cstdint>

#include "base/state.h"
#include "platform/resource.h"

// The resource name of a sound event: "CLICK", "CANSEL", "OPEN" or
// "INCORRECT" for SOUND_CLICK .. SOUND_INCORRECT, null for any other code.
const char* SoundResourceName(unsigned event);

// The event name ("CLICK" ...) of the "SOUND" resource of module whose bytes
// are at image, or null when none is: for naming what was played.
const char* SoundResourceNameOf(const platform::Module* module, const uint8_t* image);

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
