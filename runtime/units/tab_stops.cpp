// The tab-stop walk: every visible, enabled unit with WS_TABSTOP in stacking order, which the
// loader makes template order, depth first through the units that contain others.
#include "runtime/units/tab_stops.h"

#include <algorithm>
#include <vector>

#include "runtime/units/unit_window.h"

namespace {

bool ShownAndEnabled(HWND window) {
  return (GetWindowLongPtrW(window, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE;
}

// A hidden or disabled container hides or disables what it holds as well. Each window's own
// style is read, not IsWindowVisible: the first stop is asked for while the top-level window is
// being shown and activated, before it counts as visible.
void CollectTabStops(HWND parent, std::vector<HWND>& stops) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!ShownAndEnabled(child)) continue;
    if (GetWindowLongPtrA(child, GWL_STYLE) & WS_TABSTOP) stops.push_back(child);
    if (UnitObjectOf(child)) CollectTabStops(child, stops);
  }
}

}  // namespace

HWND FirstTabStop(HWND top) {
  if (!top) return nullptr;
  std::vector<HWND> stops;
  CollectTabStops(top, stops);
  return stops.empty() ? nullptr : stops.front();
}

bool MoveFocusByTabKey(HWND focus, WPARAM key) {
  if (key != VK_TAB || GetKeyState(VK_CONTROL) < 0) return false;
  const HWND top = GetAncestor(focus, GA_ROOT);
  std::vector<HWND> stops;
  CollectTabStops(top, stops);
  if (stops.empty()) return false;
  const bool backwards = GetKeyState(VK_SHIFT) < 0;
  const size_t count = stops.size();
  const auto holder = std::find_if(stops.begin(), stops.end(), [focus](HWND stop) {
    return stop == focus || IsChild(stop, focus);
  });
  size_t next = backwards ? count - 1 : 0;  // from the window itself: the first or the last
  if (holder != stops.end()) {
    const auto at = static_cast<size_t>(holder - stops.begin());
    next = backwards ? (at + count - 1) % count : (at + 1) % count;
  }
  SetFocus(stops[next]);
  // The keyboard is in use: controls show where the focus is from now on.
  SendMessageA(top, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  return true;
}
