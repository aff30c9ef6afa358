// Building a window and its units from its template.
#pragma once

#include <windows.h>

#include <cstdint>

// Loads the window: a window that is loaded already is restored or activated instead of made
// twice. False when there is no such template or the window unit cannot be created. A handler
// of the window's creation events may destroy it; that is no failure. A modal load, of a new
// window or of one loaded already, disables the thread's other windows and returns when the
// window is gone.
bool LoadWindow(uint32_t windowId, bool modal, HWND owner);

// Loads the start window; failure is a runtime error.
void LoadStartWindow(uint32_t windowId);
