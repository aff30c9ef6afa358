// Driving other programs' windows in GUI tests: waiting for a condition, real mouse input at a
// window's centre, real keys, finding a process's message box, and reading window texts in the
// wide form, which shows them as they are whatever the ANSI code page of the test is.
#pragma once

#include <windows.h>

#include <string>

// Polls the condition every 20 ms until it holds or the time is up; gives its last answer.
template <class Condition>
bool WaitFor(Condition done, int milliseconds = 10000) {
  for (int waited = 0; waited < milliseconds; waited += 20) {
    if (done()) return true;
    Sleep(20);
  }
  return done();
}

#include <cstdint>
#include <vector>

// One absolute mouse event at a screen point: `flags` adds buttons (MOUSEEVENTF_LEFTDOWN ...) to
// the move.
void MouseAt(POINT screen, DWORD flags = 0);
// Left button down at `from`, moved in steps, released at `to`.
void Drag(POINT from, POINT to);

// The screen's pixels in the area (0x00RRGGBB), row by row from the top.
std::vector<uint32_t> CaptureScreen(const RECT& area);

// Moves the mouse to the window's centre and sends `times` pairs of the given button events.
void PressCentre(HWND window, DWORD down, DWORD up, int times = 1);
void ClickCentre(HWND window);

// Presses and releases a key with real keyboard input, Shift held around it when asked. The
// input goes to the window that has the keyboard focus on the screen.
void PressKey(WORD key, bool withShift = false);

// The visible dialog box ("#32770") of the process, with the given caption (GBK) when one is
// given; null while there is none.
HWND MessageBoxOf(DWORD process, const char* caption = nullptr);

// The process's visible top-level window (its start window); null while it has none.
HWND VisibleWindowOf(DWORD process);

// The window's text through GetWindowTextW.
std::wstring TextOf(HWND window);
