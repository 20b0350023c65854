// The SDL keyboard event to Win32 virtual-key translation, as plain ints so
// that it can be tested without SDL's headers.
#pragma once

namespace platform {

// The virtual-key code (1..254) of an SDL key event with the given
// SDL_Scancode (the physical key) and SDL_Keycode (what the key means in the
// current layout), or 0 for a key the program has no code for.
//
// Keypad keys are told by their physical key, so keypad 8 is VK_NUMPAD8
// whether or not NumLock is on. Letters follow the layout (the key that types
// 'a' is VK_A, as on Windows), falling back to the physical key for layouts
// without Latin letters; digits, function, editing and arrow keys follow the
// physical key.
int SdlKeyToVirtualKey(int scancode, int keycode);

}  // namespace platform
