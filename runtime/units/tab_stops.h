// Tab and Shift+Tab between the tab stops of a runtime window, as in a dialog box. The units see
// the key first (its events are raised as for any other key); only a key they let through moves
// the focus. The dialog manager (IsDialogMessage) is not used: it takes the Tab key away from the
// focused unit, so that unit would raise no key events for it.
#pragma once

#include <windows.h>

// For a Tab key (without Ctrl) that reached `focus`: moves the focus to the next tab stop of its
// top-level window, or to the previous one while Shift is down, going round at the ends. True
// when the focus moved and the key is used up; false when the window has no tab stop.
bool MoveFocusByTabKey(HWND focus, WPARAM key);

// The first tab stop of the top-level window, in the order Tab walks them; null when it has none.
HWND FirstTabStop(HWND top);
