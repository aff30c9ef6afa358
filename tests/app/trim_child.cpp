// trim_child SCENARIO: the program's side of the trimming tests, with "windir" set by the test; a
// windows program like the real one.
//   twice   runs the trimming thread's entry twice in a row, then exits 0.
//   window  makes a window (class TrimChild), starts one trim as the skin does on deactivation,
//           and answers messages until the window is closed; exits 0.
#include <windows.h>

#include <cstring>

#include "app/working_set_trim.h"

namespace {

LRESULT CALLBACK ChildWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

int RunWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = ChildWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "TrimChild";
  if (!RegisterClassA(&windowClass)) return 3;
  if (!CreateWindowA("TrimChild", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, windowClass.hInstance,
                     nullptr))
    return 4;
  StartWorkingSetTrim();
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  if (std::strcmp(commandLine, "twice") == 0) {
    WorkingSetTrimThread(nullptr);
    WorkingSetTrimThread(nullptr);
    return 0;
  }
  if (std::strcmp(commandLine, "window") == 0) return RunWindow();
  return 2;
}
