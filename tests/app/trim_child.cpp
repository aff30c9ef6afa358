// trim_child SCENARIO: the program's side of the trimming tests; a windows program like the real
// one.
//   twice [FOLDER]  trims twice in a row with FOLDER (the rest of the line) as the Windows folder,
//                   or with none, then exits 0.
//   window          makes a window (class TrimChild), starts one trim as the skin does on
//                   deactivation, and answers messages until the window is closed; exits 0.
//   burst           starts a trim three times 300 ms apart, as quick deactivations would, again
//                   once the longest wait for a run has passed, and exits 0 two seconds later.
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

int RunBurst() {
  for (int i = 0; i < 3; ++i) {
    StartWorkingSetTrim();
    Sleep(300);
  }
  Sleep(kLongestTrimRunMs + 2000);
  StartWorkingSetTrim();
  Sleep(2000);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  if (std::strcmp(commandLine, "twice") == 0 || std::strncmp(commandLine, "twice ", 6) == 0) {
    const char* folder = commandLine[5] ? commandLine + 6 : "";
    TrimWorkingSetIn(folder);
    TrimWorkingSetIn(folder);
    return 0;
  }
  if (std::strcmp(commandLine, "window") == 0) return RunWindow();
  if (std::strcmp(commandLine, "burst") == 0) return RunBurst();
  return 2;
}
