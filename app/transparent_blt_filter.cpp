// TransparentBltFilter and its installation.
#include "app/transparent_blt_filter.h"

#include "hook/api_hook.h"

namespace {

using TransparentBltFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);

// The trampoline of the installed patch. It is never freed, so it stays valid for calls that
// reach the filter late in shutdown, even after the hook object is gone.
TransparentBltFunction transparentBltTrampoline = nullptr;

constexpr int kDroppedSide = 16;

}  // namespace

BOOL WINAPI TransparentBltFilter(HDC destination, int destinationX, int destinationY, int destinationWidth,
                                 int destinationHeight, HDC source, int sourceX, int sourceY, int sourceWidth,
                                 int sourceHeight, UINT transparentColour) {
  if (destinationWidth == kDroppedSide && destinationHeight == kDroppedSide) return TRUE;
  // Only reachable if another thread calls between the patch and the line that stores its
  // trampoline in InstallTransparentBltFilter: fail that one copy rather than jump to null.
  if (!transparentBltTrampoline) return FALSE;
  return transparentBltTrampoline(destination, destinationX, destinationY, destinationWidth, destinationHeight,
                                  source, sourceX, sourceY, sourceWidth, sourceHeight, transparentColour);
}

void InstallTransparentBltFilter(ApiHook& hook) {
  void* trampoline = hook.Install("gdi32", "GdiTransparentBlt", reinterpret_cast<const void*>(&TransparentBltFilter));
  if (trampoline) transparentBltTrampoline = reinterpret_cast<TransparentBltFunction>(trampoline);
}
