// Reading and writing the skin's window properties.
#include "skin/skin_properties.h"

#include <cstring>

#include "runtime/imports/declared_functions.h"

namespace {

HANDLE AsHandle(intptr_t value) { return reinterpret_cast<HANDLE>(value); }

}  // namespace

void SetWindowProperties(HWND hwnd, WNDPROC previous, int32_t index) {
  Declared::SetPropA(hwnd, kPreviousProcProperty, reinterpret_cast<HANDLE>(previous));
  Declared::SetPropA(hwnd, kWindowIndexProperty, AsHandle(index));
}

void ClearWindowProperties(HWND hwnd, bool keepPrevious) {
  // RemovePropA is not among the declared functions.
  for (const char* name : {kWindowIndexProperty, kFrameDcProperty, kFrameBitmapProperty}) RemovePropA(hwnd, name);
  if (!keepPrevious) RemovePropA(hwnd, kPreviousProcProperty);
}

WNDPROC PreviousProcedureOf(HWND hwnd) {
  return reinterpret_cast<WNDPROC>(Declared::GetPropA(hwnd, kPreviousProcProperty));
}

int32_t WindowIndexOf(HWND hwnd) {
  return static_cast<int32_t>(reinterpret_cast<intptr_t>(Declared::GetPropA(hwnd, kWindowIndexProperty)));
}

void PublishFrame(HWND hwnd, HDC dc, HBITMAP bitmap) {
  Declared::SetPropA(hwnd, kFrameDcProperty, dc);
  Declared::SetPropA(hwnd, kFrameBitmapProperty, bitmap);
}

bool ClassIs(HWND window, const char* name) {
  // Long enough for every class the skin asks about ("SysDateTimePick32", "msctls_trackbar32").
  char className[64] = {};
  Declared::GetClassNameA(window, className, sizeof className);
  return _stricmp(className, name) == 0;
}

void ReleaseControlColouring(HWND control) {
  if (HANDLE brush = Declared::GetPropA(control, kControlBrushProperty)) Declared::DeleteObject(brush);
  if (HANDLE bitmap = Declared::GetPropA(control, kControlBitmapProperty)) Declared::DeleteObject(bitmap);
  RemovePropA(control, kControlBrushProperty);
  RemovePropA(control, kControlBitmapProperty);
}
