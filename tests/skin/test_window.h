// A top-level test window of this thread, 361 x 318 like the tool's, of a class registered once
// per name with double clicks on.
#pragma once

#include <windows.h>

inline HWND MakeTopLevelTestWindow(const wchar_t* className, WNDPROC procedure, const wchar_t* title, DWORD style) {
  WNDCLASSW windowClass{};
  if (!GetClassInfoW(GetModuleHandleW(nullptr), className, &windowClass)) {
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
  }
  return CreateWindowExW(0, className, title, WS_POPUP | style, 100, 100, 361, 318, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}
