// Mouse and keyboard input and message-box search for the GUI tests.
#include "tests/support/gui_driver.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "runtime/wide_text.h"
#include <vector>

namespace {

struct BoxSearch {
  DWORD process;
  const wchar_t* caption;
  HWND box;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<BoxSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[32] = "";
  GetClassNameA(window, className, sizeof className);
  wchar_t text[256] = L"";
  GetWindowTextW(window, text, 256);
  if (owner != search->process || std::strcmp(className, "#32770") != 0 || !IsWindowVisible(window) ||
      (search->caption && std::wcscmp(text, search->caption) != 0))
    return TRUE;
  search->box = window;
  return FALSE;
}

// Absolute input coordinates run from 0 to 65535 over the primary screen; aiming at the middle of
// the pixel lands on it whether the conversion back rounds or truncates.
LONG Normalised(int pixel, int screenSize) {
  return static_cast<LONG>((static_cast<long long>(2 * pixel + 1) * 65536) / (2LL * screenSize));
}

// The window holding the mouse capture in the thread that owns `window`.
HWND CaptureOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndCapture;
}

}  // namespace

void PressCentre(HWND window, DWORD down, DWORD up, int times) {
  RECT r;
  GetWindowRect(window, &r);
  const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  // Wine: a window newly mapped under the X pointer reports the pointer's old place a moment
  // later, which moves the cursor back after SetCursorPos; so every event carries its own
  // position, and the press waits until the target is the window at that point.
  SetCursorPos(centre.x, centre.y);
  WaitFor([&] { return WindowFromPoint(centre) == window; }, 2000);
  char className[16] = "";
  GetClassNameA(window, className, sizeof className);
  // Only a window of another thread can be watched taking the capture: this thread's own
  // windows see the press when the test pumps its messages, after this returns.
  const bool capturesWhenPressed = _stricmp(className, "Button") == 0 &&
                                   GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId();
  const LONG x = Normalised(centre.x, GetSystemMetrics(SM_CXSCREEN));
  const LONG y = Normalised(centre.y, GetSystemMetrics(SM_CYSCREEN));
  for (int i = 0; i < times; ++i) {
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) {
      input.type = INPUT_MOUSE;
      input.mi.dx = x;
      input.mi.dy = y;
    }
    inputs[0].mi.dwFlags = down | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = up | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    // A button takes the capture when pressed; releasing only after it has, as a hand would,
    // keeps a focus change still on its way from cancelling the press. Wine: where a closed
    // window's X window still lingers (about 2 s after a message box), a press is lost; a lost
    // press changes nothing, so it is made again.
    for (int attempt = 1;; ++attempt) {
      SendInput(1, &inputs[0], sizeof(INPUT));
      const bool pressed = !capturesWhenPressed || WaitFor([&] { return CaptureOf(window) == window; }, 3000);
      SendInput(1, &inputs[1], sizeof(INPUT));
      if (pressed || attempt == 3) break;
      std::fprintf(stderr, "gui driver: press %d on %p was lost; pressing again\n", attempt,
                   static_cast<void*>(window));
    }
  }
}

void MouseAt(POINT screen, DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = Normalised(screen.x, GetSystemMetrics(SM_CXSCREEN));
  input.mi.dy = Normalised(screen.y, GetSystemMetrics(SM_CYSCREEN));
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof(INPUT));
}

void Drag(POINT from, POINT to) {
  SetCursorPos(from.x, from.y);
  Sleep(100);
  MouseAt(from, MOUSEEVENTF_LEFTDOWN);
  Sleep(200);
  constexpr int kSteps = 8;
  for (int i = 1; i <= kSteps; ++i) {
    MouseAt(POINT{from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps});
    Sleep(30);
  }
  MouseAt(to, MOUSEEVENTF_LEFTUP);
  Sleep(200);
}

std::vector<uint32_t> CaptureScreen(const RECT& area) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  std::memcpy(pixels.data(), bits, pixels.size() * 4);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
  return pixels;
}

void ClickCentre(HWND window) { PressCentre(window, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }

void PressKey(WORD key, bool withShift) {
  std::vector<INPUT> inputs;
  auto add = [&inputs](WORD vk, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    inputs.push_back(input);
  };
  if (withShift) add(VK_SHIFT, 0);
  add(key, 0);
  add(key, KEYEVENTF_KEYUP);
  if (withShift) add(VK_SHIFT, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

HWND MessageBoxOf(DWORD process, const char* caption) {
  const std::wstring wideCaption = WideFromText(caption);
  BoxSearch search{process, caption ? wideCaption.c_str() : nullptr, nullptr};
  EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
  return search.box;
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

namespace {

struct WindowSearch {
  DWORD process;
  HWND found;
};

BOOL CALLBACK TakeVisibleWindowOf(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND VisibleWindowOf(DWORD process) {
  WindowSearch search{process, nullptr};
  EnumWindows(&TakeVisibleWindowOf, reinterpret_cast<LPARAM>(&search));
  return search.found;
}
