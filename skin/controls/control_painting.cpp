// The drawing pieces the painted controls share: their washed body, small buttons, the built-in
// arrows, text in the control's colour, and the keyed print through which a control draws its
// own content (text, items, selection) over what the engine drew.
#include "graphics/paths_pens_brushes.h"
#include "runtime/imports/declared_functions.h"
#include "skin/gdi_surface.h"
#include "skin/controls/painted_controls.h"
#include "skin/shapes.h"
#include "skin/skin_engine.h"
#include "skin/skin_properties.h"
#include "skin/window_calls.h"

namespace {

using namespace skin_colours;

constexpr float kBodyRadius = 4;
constexpr float kButtonRadius = 3;

// The control whose own paint is under way inside a keyed print, and its key colour; a print
// within a print (a field inside a control) saves and restores it.
struct Printing {
  HWND control = nullptr;
  COLORREF key = 0;
};
Printing printing;

bool Rounded(GraphicsPath& path, const Gdiplus::RectF& area, float radius) {
  return area.Width > 0 && area.Height > 0 && path.Create() &&
         AddRoundedRectangle(path, area.X, area.Y, area.Width, area.Height, AllCorners(radius));
}

void Fill(Graphics& graphics, const GraphicsPath& shape, Gdiplus::ARGB colour) {
  SolidBrush brush;
  if (brush.Create(colour)) graphics.FillPath(brush, shape);
}

void FillVertical(Graphics& graphics, const GraphicsPath& shape, const Gdiplus::RectF& area, Gdiplus::ARGB top,
                  Gdiplus::ARGB bottom) {
  LinearGradientBrush brush;
  if (brush.Create({0, area.Y}, {0, area.Y + area.Height}, top, bottom)) graphics.FillPath(brush, shape);
}

void Outline(Graphics& graphics, const GraphicsPath& shape, Gdiplus::ARGB colour) {
  Pen pen;
  if (pen.Create(colour, 1)) graphics.DrawPath(pen, shape);
}

}  // namespace

COLORREF TextColourOf(HWND control) {
  return static_cast<COLORREF>(reinterpret_cast<uintptr_t>(Declared::GetPropA(control, kTextColourProperty)));
}

bool IsDisabled(HWND control) { return (Declared::GetWindowLongA(control, GWL_STYLE) & WS_DISABLED) != 0; }

void FillRounded(Graphics& graphics, const Gdiplus::RectF& area, float radius, Gdiplus::ARGB colour) {
  GraphicsPath path;
  if (Rounded(path, area, radius)) Fill(graphics, path, colour);
}

void FillRoundedVertical(Graphics& graphics, const Gdiplus::RectF& area, float radius, Gdiplus::ARGB top,
                         Gdiplus::ARGB bottom) {
  GraphicsPath path;
  if (Rounded(path, area, radius)) FillVertical(graphics, path, area, top, bottom);
}

void DrawBody(Graphics& graphics, const Gdiplus::RectF& shape, COLORREF theme, bool focused, bool disabled) {
  GraphicsPath path;
  if (!Rounded(path, shape, kBodyRadius)) return;
  Fill(graphics, path, disabled ? ArgbFromColorRef(kDisabledGround, kBodyAlpha) : ArgbFromColorRef(kWhite, kBodyAlpha));
  Outline(graphics, path, focused ? ArgbFromColorRef(theme) : ArgbFromColorRef(kBlack, disabled ? 60 : 120));
}

void DrawSoftButton(Graphics& graphics, const Gdiplus::RectF& area, COLORREF theme, bool pressed, bool hot) {
  GraphicsPath path;
  if (!Rounded(path, area, kButtonRadius)) return;
  Fill(graphics, path, ArgbFromColorRef(kWhite, 120));
  FillVertical(graphics, path, area, ArgbFromColorRef(kWhite, 0), ArgbFromColorRef(kGrey, 60));
  if (pressed)
    FillVertical(graphics, path, area, ArgbFromColorRef(theme, 160), ArgbFromColorRef(kWhite, 100));
  else if (hot)
    FillVertical(graphics, path, area, ArgbFromColorRef(theme, 60), ArgbFromColorRef(theme, 10));
  Outline(graphics, path, pressed || hot ? ArgbFromColorRef(theme) : ArgbFromColorRef(kBlack, 100));
}

void DrawCentred(Graphics& graphics, SkinEngine& engine, ByteBlock picture, const Gdiplus::RectF& area) {
  const std::shared_ptr<Image> image = engine.ButtonPicture(picture);
  if (!image) return;
  const float width = static_cast<float>(image->GetWidth()), height = static_cast<float>(image->GetHeight());
  // Whole pixels: a half-pixel offset would blur a 4-pixel arrow.
  const float x = static_cast<float>(static_cast<int>(area.X + (area.Width - width) / 2));
  const float y = static_cast<float>(static_cast<int>(area.Y + (area.Height - height) / 2));
  graphics.DrawImageRect(*image, x, y, width, height);
}

void DrawControlText(HDC dc, HWND control, const wchar_t* text, RECT area, UINT format) {
  if (!text || !*text) return;
  const auto font = reinterpret_cast<HGDIOBJ>(Declared::SendMessageA(control, WM_GETFONT, 0, 0));
  HGDIOBJ previous = Declared::SelectObject(dc, font ? font : Declared::GetStockObject(DEFAULT_GUI_FONT));
  Declared::SetBkMode(dc, TRANSPARENT);
  Declared::SetTextColor(dc, TextColourOf(control));
  // The declared-function table has no text drawing; the wide call shows any text as it is.
  DrawTextW(dc, text, -1, &area, format | DT_NOPREFIX);
  Declared::SelectObject(dc, previous);
}

COLORREF GroundKey(const PaintTarget& target, const RECT& area) {
  const COLORREF ground = GetPixel(target.dc, (area.left + area.right) / 2, (area.top + area.bottom) / 2);
  if (ground == CLR_INVALID) return RGB(255, 254, 255);
  // Odd red and blue, even green: a colour the engine's own drawing does not aim at, one step
  // from the ground itself.
  return (ground & ~static_cast<COLORREF>(0x000100)) | 0x010001;
}

void PrintKeyed(const PaintTarget& target, const RECT& area, COLORREF key) {
  GdiSurface own;
  if (area.right <= area.left || area.bottom <= area.top || !own.Make(target.dc, target.width, target.height)) return;
  const RECT whole{0, 0, target.width, target.height};
  SetDCBrushColor(own.dc(), key);
  FillRect(own.dc(), &whole, static_cast<HBRUSH>(Declared::GetStockObject(DC_BRUSH)));
  SetBkColor(own.dc(), key);
  Declared::SetTextColor(own.dc(), TextColourOf(target.control));
  const Printing outer = printing;
  printing = Printing{target.control, key};
  WindowCalls::CallPrevious(target.record.previousProc, target.control, WM_PAINT, reinterpret_cast<WPARAM>(own.dc()), 0);
  printing = outer;
  Declared::TransparentBlt(target.dc, area.left, area.top, area.right - area.left, area.bottom - area.top, own.dc(),
                           area.left, area.top, area.right - area.left, area.bottom - area.top, key);
}

LRESULT KeyedColouring(HWND control, HDC dc) {
  if (!control || control != printing.control || !dc) return 0;
  Declared::SetTextColor(dc, TextColourOf(control));
  SetBkColor(dc, printing.key);
  Declared::SetBkMode(dc, TRANSPARENT);
  SetDCBrushColor(dc, printing.key);
  return reinterpret_cast<LRESULT>(Declared::GetStockObject(DC_BRUSH));
}
