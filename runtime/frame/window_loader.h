// Building a window and its units from its template, and what the loader is told when units
// go away.
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

// Whether the units of the window raise events from their messages: it is loaded, its loading
// has finished and it is not being destroyed.
bool WindowTakesEvents(uint32_t windowId);

// Called by the unit windows: the window unit starts being destroyed; a unit's window is gone.
void OnWindowUnitClosing(uint32_t windowId);
void OnUnitWindowDestroyed(uint32_t windowId, uint32_t unitId, HWND window);
