// The filter the program puts in front of gdi32's GdiTransparentBlt at start-up: transparent
// copies to a 16 x 16 destination are dropped, all others pass on to the function as it was.
// msimg32's TransparentBlt is the same code, so it is filtered too.
#pragma once

#include <windows.h>

class ApiHook;

// GdiTransparentBlt's parameters and result. A 16 x 16 destination: TRUE, nothing drawn.
// Anything else: the unpatched function's result. Entered only through the patch.
BOOL WINAPI TransparentBltFilter(HDC destination, int destinationX, int destinationY, int destinationWidth,
                                 int destinationHeight, HDC source, int sourceX, int sourceY, int sourceWidth,
                                 int sourceHeight, UINT transparentColour);

// Patches gdi32's GdiTransparentBlt with the filter through `hook`, which must live as long as
// the patch is wanted (the patch is removed with it). When the function cannot be patched
// (hook.status() tells why) nothing is written and the filter is never entered.
void InstallTransparentBltFilter(ApiHook& hook);
