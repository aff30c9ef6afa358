// Child controls seen through: their text colour, and a brush that paints their background with
// the part of the skinned frame beneath them under a white wash.
#include "graphics/drawing_surface.h"
#include "graphics/paths_pens_brushes.h"
#include "runtime/imports/declared_functions.h"
#include "skin/controls/control_colouring.h"
#include "skin/skin_engine.h"
#include "skin/skin_properties.h"

namespace {

constexpr int kScrollBarWidth = 17;

void SetColouring(HWND control, HBRUSH brush, HBITMAP bitmap) {
  ReleaseControlColouring(control);
  Declared::SetPropA(control, kControlBrushProperty, brush);
  if (bitmap) Declared::SetPropA(control, kControlBitmapProperty, bitmap);
}

// The frame under the control's client area, washed white with `alpha`; 0 when it cannot be made.
HBITMAP ControlBackground(const WindowRecord& record, HWND control, uint8_t alpha) {
  if (!record.frame.dc()) return nullptr;
  RECT window{}, client{};
  Declared::GetWindowRect(control, &window);
  Declared::GetClientRect(control, &client);
  POINT origin{0, 0};
  Declared::ClientToScreen(record.hwnd, &origin);
  const LONG style = Declared::GetWindowLongA(control, GWL_STYLE);
  const int scrollX = (style & WS_VSCROLL) ? kScrollBarWidth : 0;
  const int scrollY = (style & WS_HSCROLL) ? kScrollBarWidth : 0;
  const int x = window.left - origin.x + (window.right - window.left - client.right - scrollX) / 2;
  const int y = window.top - origin.y + (window.bottom - window.top - client.bottom - scrollY) / 2;
  if (client.right <= 0 || client.bottom <= 0) return nullptr;

  GdiSurface surface;
  if (!surface.Make(record.frame.dc(), client.right, client.bottom)) return nullptr;
  Declared::BitBlt(surface.dc(), 0, 0, client.right, client.bottom, record.frame.dc(), x, y, SRCCOPY);
  {
    Graphics graphics;
    SolidBrush wash;
    if (graphics.CreateFromHdc(surface.dc()) && wash.Create(ArgbFromColorRef(0xFFFFFF, alpha)))
      graphics.FillRectangle(wash, 0, 0, static_cast<float>(client.right), static_cast<float>(client.bottom));
  }
  return surface.TakeBitmap();
}

}  // namespace

LRESULT SkinEngine::OnControlColour(const WindowRecord& record, UINT message, HDC dc, HWND control) {
  if (!settings_.transparentControls || !settings_.overlayGiven || !dc || !control) return 0;
  bool pattern = false;
  switch (message) {
    case WM_CTLCOLOREDIT:
      if (ClassIs(Declared::GetParent(control), "ComboBox")) return 0;
      pattern = true;
      break;
    case WM_CTLCOLORLISTBOX: {
      const LONG style = Declared::GetWindowLongA(control, GWL_STYLE);
      if (!ClassIs(control, "ListBox") || (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE))) return 0;
      break;
    }
    case WM_CTLCOLORBTN:
      break;
    case WM_CTLCOLORSTATIC:
      pattern = true;
      break;
    default:
      return 0;
  }
  Declared::SetTextColor(dc, static_cast<COLORREF>(reinterpret_cast<uintptr_t>(Declared::GetPropA(control, kTextColourProperty))));
  Declared::SetBkMode(dc, TRANSPARENT);
  if (!pattern) {
    HBRUSH none = static_cast<HBRUSH>(Declared::GetStockObject(NULL_BRUSH));
    SetColouring(control, none, nullptr);
    return reinterpret_cast<LRESULT>(none);
  }
  HBITMAP bitmap = ControlBackground(record, control, settings_.overlayAlpha);
  HBRUSH brush = bitmap ? Declared::CreatePatternBrush(bitmap) : nullptr;
  if (!brush) {
    if (bitmap) Declared::DeleteObject(bitmap);
    return 0;
  }
  SetColouring(control, brush, bitmap);
  return reinterpret_cast<LRESULT>(brush);
}

void ReleaseColouringBelow(HWND parent) {
  for (HWND child = Declared::FindWindowExA(parent, nullptr, nullptr, nullptr); child;
       child = Declared::FindWindowExA(parent, child, nullptr, nullptr)) {
    ReleaseControlColouring(child);
    ReleaseColouringBelow(child);
  }
}
