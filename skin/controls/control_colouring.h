// See-through child controls: releasing what their colouring holds.
#pragma once

#include <windows.h>

// Deletes the WM_CTLCOLOR brushes and bitmaps of every window below `parent`. Run while the
// children still exist: by the parent's WM_NCDESTROY they are gone with their properties.
void ReleaseColouringBelow(HWND parent);
