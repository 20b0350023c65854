// The browser's keyboard events to Win32 virtual-key codes, as plain strings
// and ints so that they can be tested under Node without a page.
#pragma once

namespace platform {

// The virtual-key code (1..254) of a KeyboardEvent with the given code (the
// physical key, "KeyZ", "ArrowLeft", "Numpad8") and key (what it types in
// the current layout, "z", "ArrowLeft"), or 0 for a key the program has no
// code for. Null strings count as empty.
//
// As on the desktop: letters follow the layout (the key that types 'a' is
// VK_A), falling back to the physical key for layouts without Latin
// letters; keypad keys are told by their physical key whether or not NumLock
// is on; digits, function, editing and arrow keys follow the physical key.
int WebKeyToVirtualKey(const char* code, const char* key);

// Whether the page's own action for the key is to be kept: reloading,
// closing, the browser's function keys, moving the focus with Tab, and any
// key held with Ctrl, Alt or Meta. The program still gets the key; for
// every other key the browser's action (scrolling the page with the arrows
// and Space) is prevented.
bool WebKeyKeepsBrowserAction(int virtualKey, bool ctrl, bool alt, bool meta);

}  // namespace platform
