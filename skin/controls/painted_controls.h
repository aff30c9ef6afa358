// Controls the engine paints itself (edits, combo boxes, track and progress bars, lists, up-down
// controls, headers): what a painter is given, the painters by family, and the drawing pieces
// they share.
#pragma once

#include <windows.h>

#include "graphics/drawing_surface.h"
#include "skin/controls/control_records.h"
#include "skin/window_record.h"

class SkinEngine;

// One paint of one control, into an off-screen copy of the skin under its client area.
struct PaintTarget {
  SkinEngine& engine;
  PaintedRecord& record;
  HWND control;
  HDC dc;                // the off-screen surface, client-sized
  int width, height;     // the client area
  Gdiplus::RectF body;   // the window rectangle in client coordinates: the shape spans the border
  COLORREF theme;
  bool focused;
  bool disabled;
};

using Painter = void (*)(PaintTarget& target);

// Per class (edit_skin.cpp, range_skin.cpp, list_skin.cpp, updown_skin.cpp, header_skin.cpp).
void PaintEdit(PaintTarget& target);
void PaintComboBox(PaintTarget& target);
void PaintTrackBar(PaintTarget& target);
void PaintProgressBar(PaintTarget& target);
void PaintList(PaintTarget& target);
void PaintListView(PaintTarget& target);
void PaintTreeView(PaintTarget& target);
void PaintDateTime(PaintTarget& target);
void PaintUpDown(PaintTarget& target);
void PaintHeader(PaintTarget& target);
// List and tree views take their colours by message; these give their own back.
void RestoreViewColours(PaintedRecord& record);

// ---- Shared pieces (control_painting.cpp) --------------------------------------------------

// White over the skin inside a control's shape: opaque enough to read text on any skin.
inline constexpr uint32_t kBodyAlpha = 170;

// The body of a text-holding control: a rounded shape washed white, outlined black, in the
// theme colour while focused, greyed while disabled.
void DrawBody(Graphics& graphics, const Gdiplus::RectF& shape, COLORREF theme, bool focused, bool disabled);
// A rounded rectangle filled in one colour, or from `top` at its top to `bottom` at its bottom.
void FillRounded(Graphics& graphics, const Gdiplus::RectF& area, float radius, Gdiplus::ARGB colour);
void FillRoundedVertical(Graphics& graphics, const Gdiplus::RectF& area, float radius, Gdiplus::ARGB top,
                         Gdiplus::ARGB bottom);
// A small button in the push buttons' layers: pressed and hot in the theme colour.
void DrawSoftButton(Graphics& graphics, const Gdiplus::RectF& area, COLORREF theme, bool pressed, bool hot);
// One of the built-in pictures, at natural size, centred in the area.
void DrawCentred(Graphics& graphics, SkinEngine& engine, ByteBlock picture, const Gdiplus::RectF& area);
// Text in the control's own font and its "Kj_Ztys" colour, by DrawText flags, on the GDI surface.
void DrawControlText(HDC dc, HWND control, const wchar_t* text, RECT area, UINT format);
COLORREF TextColourOf(HWND control);
bool IsDisabled(HWND control);

// The colour a control paints its own ground in while the engine prints it, keyed out after:
// one step from the engine's ground at the middle of `area`, so that the edges of the control's
// smoothed text blend into nearly the colour they end up on.
COLORREF GroundKey(const PaintTarget& target, const RECT& area);
// The control paints the part `area` of itself on the key colour off screen, and that copy goes
// over the target with the key colour left out. While it paints, the colour messages it sends
// its parent are answered by KeyedColouring.
void PrintKeyed(const PaintTarget& target, const RECT& area, COLORREF key);
inline void PrintKeyed(const PaintTarget& target) {
  const RECT whole{0, 0, target.width, target.height};
  PrintKeyed(target, whole, GroundKey(target, whole));
}
// For a WM_CTLCOLOR... message about the control being printed: its text colour, the key colour
// as ground, and a brush of it. 0 for any other control: the message goes on.
LRESULT KeyedColouring(HWND control, HDC dc);
