// The few window functions the skin needs that the declared-function table does not hold: the
// pointer-sized window-procedure calls and the UTF-16 text calls. Called directly, here only.
#pragma once

#include <windows.h>

#include <string>

namespace WindowCalls {

// Puts `procedure` under the window (UTF-16 messages); gives back the procedure it replaced.
WNDPROC ReplaceProcedure(HWND window, WNDPROC procedure);
WNDPROC CurrentProcedure(HWND window);
LRESULT CallPrevious(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT Default(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The text of a WM_SETTEXT that reached a procedure of ours (they take UTF-16 messages), as GBK.
std::string GbkOfMessageText(LPARAM lParam);

// The window's text as GBK, whatever the system's code page.
std::string TextOf(HWND window);

}  // namespace WindowCalls
