// Mouse input and message-box search for the GUI tests.
#include "tests/support/gui_driver.h"

#include <cstring>

namespace {

struct BoxSearch {
  DWORD process;
  const char* caption;
  HWND box;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<BoxSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[32] = "";
  GetClassNameA(window, className, sizeof className);
  char text[256] = "";
  GetWindowTextA(window, text, sizeof text);
  if (owner != search->process || std::strcmp(className, "#32770") != 0 || !IsWindowVisible(window) ||
      (search->caption && std::strcmp(text, search->caption) != 0))
    return TRUE;
  search->box = window;
  return FALSE;
}

}  // namespace

void PressCentre(HWND window, DWORD down, DWORD up, int times) {
  RECT r;
  GetWindowRect(window, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  for (int i = 0; i < times; ++i) {
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = down;
    inputs[1].mi.dwFlags = up;
    SendInput(2, inputs, sizeof(INPUT));
  }
}

void ClickCentre(HWND window) { PressCentre(window, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }

HWND MessageBoxOf(DWORD process, const char* caption) {
  BoxSearch search{process, caption, nullptr};
  EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
  return search.box;
}
