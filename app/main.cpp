// The program's entry: a plain window with the two switch buttons, over the program's folder.
#include <windows.h>

#include <string>

#include "app/switch_actions.h"

namespace {

constexpr char kWindowClass[] = "RacingServerSwitch";
constexpr char kWindowTitle[] = "Quorv Varnel1018 支持互转";
constexpr int kToLiveButton = 110;
constexpr int kToTestButton = 120;

struct ButtonLayout {
  int id;
  const char* caption;
  int left, top, width, height;
};
constexpr ButtonLayout kButtons[] = {
    {kToLiveButton, "体验服转正服", 176, 176, 168, 56},
    {kToTestButton, "正服转体验服", 8, 176, 168, 56},
};

// The configuration files belong next to the executable, wherever it was started from.
void EnterProgramFolder() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  std::string folder(path, n);
  folder.resize(folder.find_last_of('\\') + 1);
  SetCurrentDirectoryA(folder.c_str());
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      for (const ButtonLayout& b : kButtons)
        CreateWindowExA(0, "BUTTON", b.caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, b.left, b.top,
                        b.width, b.height, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), nullptr,
                        nullptr);
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) break;
      if (LOWORD(wParam) == kToLiveButton) SwitchToLiveServer();
      if (LOWORD(wParam) == kToTestButton) SwitchToTestServer();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  EnterProgramFolder();
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassA(&windowClass)) return 1;

  RECT frame{0, 0, 361, 318};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  AdjustWindowRect(&frame, style, FALSE);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  HWND window = CreateWindowExA(0, kWindowClass, kWindowTitle, style, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr,
                                instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
