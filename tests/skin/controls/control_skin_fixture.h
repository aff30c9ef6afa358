// The skinned-control tests' fixture: the skin engine's fixture with a parent window class that
// counts clicks and owner draws, the test's controls made in it, and the pixels they show.
#pragma once

#include <utility>
#include <vector>

#include "runtime/runtime_error.h"
#include "runtime/win_handles.h"
#include "skin/controls/control_records.h"
#include "tests/skin/skin_engine_fixture.h"
#include "tests/support/runtime_error_exit.h"

inline constexpr RECT kPushPlace{20, 60, 140, 92}, kOwnerPlace{160, 60, 280, 92}, kCheckPlace{20, 110, 160, 130},
    kLabelPlace{20, 150, 200, 180};

inline int clicks = 0, doubleClicks = 0, ownerDraws = 0;
inline HWND closeOnClick = nullptr;  // a window the next click's handler closes

inline LRESULT CALLBACK TestParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    ++clicks;
    if (closeOnClick) DestroyWindow(std::exchange(closeOnClick, nullptr));
  }
  if (message == WM_COMMAND && HIWORD(wParam) == BN_DOUBLECLICKED) ++doubleClicks;
  if (message == WM_DRAWITEM) ++ownerDraws;
  return DefWindowProcW(window, message, wParam, lParam);
}

inline HWND MakeParent() {
  return MakeTopLevelTestWindow(L"ControlSkinTestWindow", TestParentProc, L"控件", WS_MINIMIZEBOX);
}

inline HWND Child(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, const RECT& place, int id) {
  return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, place.left, place.top,
                         place.right - place.left, place.bottom - place.top, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

inline int32_t Property(HWND window, const char* name) {
  return static_cast<int32_t>(reinterpret_cast<intptr_t>(GetPropA(window, name)));
}

// The window's pixels in a rectangle of its client area, read back from its DC.
inline std::vector<COLORREF> Pixels(HWND window, const RECT& area) {
  std::vector<COLORREF> pixels;
  HDC dc = GetDC(window);
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) pixels.push_back(GetPixel(dc, x, y) & 0xFFFFFF);
  ReleaseDC(window, dc);
  return pixels;
}

inline void Pump() {
  MSG message;
  for (int round = 0; round < 10; ++round) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(20);
  }
}

// The skin's background of a window under a point of one of its controls.
inline COLORREF SkinUnder(const WindowRecord& record, HWND control, POINT at) {
  MapWindowPoints(control, record.hwnd, &at, 1);
  return GetPixel(record.background.dc(), at.x, at.y);
}

// A memory DC of a size that WM_DRAWITEM can draw into and the test read back.
class DrawTarget {
 public:
  DrawTarget(int width, int height)
      : dc_(CreateCompatibleDC(nullptr)), bitmap_(ScreenBitmap(width, height)), selected_(dc_.get(), bitmap_.get()) {}
  HDC dc() const { return dc_.get(); }

 private:
  static HBITMAP ScreenBitmap(int width, int height) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    return bitmap;
  }
  OwnedMemoryDc dc_;
  OwnedBitmap bitmap_;
  Selection selected_;
};

struct Controls {
  HWND window, push, owner, check, label;
};

class ControlSkinTest : public SkinEngineTest {
 protected:
  void SetUp() override {
    SkinEngineTest::SetUp();
    clicks = doubleClicks = ownerDraws = 0;
    closeOnClick = nullptr;
    // A runtime error ends the test program with its report on standard error, not in a box.
    SetRuntimeErrorPresenter(ShowOnStderr);
  }

  // A window with a push button, an owner-drawn button, a check box and a label, skinned.
  Controls SkinnedControls(bool sizable = false) {
    Controls c{};
    c.window = MakeParent();
    windows_.push_back(c.window);
    c.push = Child(c.window, L"BUTTON", L"转换", BS_PUSHBUTTON, kPushPlace, 1);
    c.owner = Child(c.window, L"BUTTON", L"自绘", BS_OWNERDRAW, kOwnerPlace, 2);
    c.check = Child(c.window, L"BUTTON", L"选项", BS_AUTOCHECKBOX, kCheckPlace, 3);
    c.label = Child(c.window, L"STATIC", L"标签", SS_LEFT, kLabelPlace, 4);
    engine_->SkinWindow(c.window, ToolOptions(sizable));
    engine_->SkinStaticControl(c.label);
    ShowWindow(c.window, SW_SHOWNOACTIVATE);
    UpdateWindow(c.window);
    Pump();
    return c;
  }

  // A window of the parent class, its children made by the caller before it is skinned.
  HWND Parent() {
    HWND window = MakeParent();
    windows_.push_back(window);
    return window;
  }
  void SkinAndShow(HWND window, bool sizable = false) {
    engine_->SkinWindow(window, ToolOptions(sizable));
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    Pump();
  }
};
