// Skinned buttons: registration of push buttons, check boxes and radio buttons, the owner-drawn
// push-button look in layers over the skin, check boxes and radio buttons painted by their own
// procedure, and that procedure's messages.
#include <windowsx.h>

#include <array>

#include "graphics/drawing_surface.h"
#include "graphics/paths_pens_brushes.h"
#include "resources/embedded_pictures.h"
#include "runtime/imports/declared_functions.h"
#include "runtime/wide_text.h"
#include "skin/controls/control_skins.h"
#include "skin/controls/painted_controls.h"
#include "skin/gdi_text.h"
#include "skin/shapes.h"
#include "skin/skin_engine.h"
#include "skin/skin_properties.h"
#include "skin/window_calls.h"

namespace {

using namespace skin_colours;

constexpr UINT kHotState = 0x40;  // ODS_HOTLIGHT: the mouse is over the button
constexpr COLORREF kFocusInk = 0x000000;
constexpr int kFocusInkAlpha = 180;
constexpr float kFocusInset = 3;  // pixels at 96 DPI between the edge and the focus ring
constexpr float kCornerRadius = 5;
constexpr int kCheckSize = 13;
constexpr int kCheckTextGap = 4;

// The kind the set-up gives a BUTTON of this style, -1 for one it leaves alone: push buttons in
// the first pass; check boxes and radio buttons in the second.
int32_t KindOfStyle(LONG style, bool secondPass) {
  const LONG type = style & BS_TYPEMASK;
  if (!secondPass) {
    // Not owner-drawn, no bit 2 or 4, not both bits of 9: push, default push and user buttons.
    const bool qualifies = type != BS_OWNERDRAW && (type & 6) == 0 && (type & 9) != 9;
    return qualifies ? kPushButton : -1;
  }
  switch (type) {
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return kRadioButton;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
      return kCheckBox;
  }
  return -1;
}

// The button's own font as face, size and style; the record's defaults when it has none.
void ReadFont(HWND button, ButtonRecord& record) {
  const auto font = reinterpret_cast<HGDIOBJ>(Declared::SendMessageA(button, WM_GETFONT, 0, 0));
  LOGFONTA logFont{};
  if (!font || Declared::GetObjectA(font, sizeof logFont, &logFont) != sizeof logFont || logFont.lfHeight == 0) return;
  record.fontName = logFont.lfFaceName;
  // A negative height is the em height in pixels; a positive one the cell height, near enough.
  record.fontSize = static_cast<float>(logFont.lfHeight < 0 ? -logFont.lfHeight : logFont.lfHeight);
  record.fontUnit = Gdiplus::UnitPixel;
  record.fontStyle = (logFont.lfWeight >= FW_BOLD ? Gdiplus::FontStyleBold : 0) |
                     (logFont.lfItalic ? Gdiplus::FontStyleItalic : 0) |
                     (logFont.lfUnderline ? Gdiplus::FontStyleUnderline : 0) |
                     (logFont.lfStrikeOut ? Gdiplus::FontStyleStrikeout : 0);
}

// A vertical gradient over `shape` from `top` at y = y0 to `bottom` at y = y1.
void FillVertical(Graphics& graphics, const GraphicsPath& shape, float y0, float y1, Gdiplus::ARGB top,
                  Gdiplus::ARGB bottom) {
  LinearGradientBrush brush;
  if (brush.Create({0, y0}, {0, y1}, top, bottom)) graphics.FillPath(brush, shape);
}

void Fill(Graphics& graphics, const GraphicsPath& shape, Gdiplus::ARGB colour) {
  SolidBrush brush;
  if (brush.Create(colour)) graphics.FillPath(brush, shape);
}

void Outline(Graphics& graphics, const GraphicsPath& shape, Gdiplus::ARGB colour, float width = 1) {
  Pen pen;
  if (pen.Create(colour, width)) graphics.DrawPath(pen, shape);
}

bool RoundedShape(GraphicsPath& path, float x, float y, float width, float height, float radius) {
  return path.Create() && AddRoundedRectangle(path, x, y, width, height, AllCorners(radius));
}

// The keyboard focus: a dotted ring inside the edge, in dark ink, over whatever else the state
// shows. A glow of the theme colour along the edge, as the focus once had, read as the hover
// look (a theme-coloured outline) to players, so the focused button could not be told from the
// one under the mouse; the dotted ring is the focus mark Windows players know.
void DrawFocusRing(Graphics& graphics, float left, float top, float w, float h, float scale) {
  const float in = kFocusInset * scale;
  GraphicsPath ring;
  Pen pen;
  if (!RoundedShape(ring, left + in, top + in, w - 1 - 2 * in, h - 1 - 2 * in, kCornerRadius * scale) ||
      !pen.Create(ArgbFromColorRef(kFocusInk, kFocusInkAlpha), scale) || !pen.GdipSetPenDashStyle(Gdiplus::DashStyleDot))
    return;
  graphics.DrawPath(pen, ring);
}

// The push button's layers for an item state, in a client rectangle of W by H at (left, top);
// corners and the focus ring at `scale` times their 96-DPI size.
void DrawPushButtonLayers(Graphics& graphics, float left, float top, float w, float h, UINT state, COLORREF theme,
                          float scale) {
  const float radius = kCornerRadius * scale;
  GraphicsPath shape;
  if (!RoundedShape(shape, left, top, w - 1, h - 1, radius)) return;
  const float bottom = top + h - 1;
  Fill(graphics, shape, ArgbFromColorRef(kWhite, 120));
  if (state & ODS_DISABLED) {
    SolidBrush ground;
    if (ground.Create(ArgbFromColorRef(kDisabledGround))) graphics.FillRectangle(ground, left, top, w, h);
    LinearGradientBrush blend;
    const std::array<Gdiplus::ARGB, 3> colours{ArgbFromColorRef(kWhite, 50), ArgbFromColorRef(kBlack, 10),
                                               ArgbFromColorRef(kWhite, 50)};
    const std::array<float, 3> positions{0.0f, 0.5f, 1.0f};
    if (blend.Create({0, top}, {0, bottom}, colours[0], colours[2]) && blend.SetPresetBlend(colours, positions))
      graphics.FillPath(blend, shape);
    Outline(graphics, shape, ArgbFromColorRef(kBlack, 80));
    return;
  }
  FillVertical(graphics, shape, top, bottom, ArgbFromColorRef(kWhite, 0), ArgbFromColorRef(kGrey, 60));
  GraphicsPath gloss;
  if (RoundedShape(gloss, left, top, w - 1, static_cast<float>(static_cast<int>(h) / 2), radius))
    FillVertical(graphics, gloss, top, top + static_cast<float>(static_cast<int>(h) / 2), ArgbFromColorRef(kWhite, 50),
                 ArgbFromColorRef(kWhite, 10));
  if (state & kHotState) {
    FillVertical(graphics, shape, top, bottom, ArgbFromColorRef(theme, 60), ArgbFromColorRef(theme, 10));
    Outline(graphics, shape, ArgbFromColorRef(theme));
  } else if (state & ODS_FOCUS) {
    Outline(graphics, shape, ArgbFromColorRef(kBlack, 70));
  } else {
    Outline(graphics, shape, ArgbFromColorRef(kBlack, 120));
  }
  GraphicsPath inset;
  if ((state & ODS_SELECTED) && RoundedShape(inset, left + 2, top + 2, w - 3, h - 3, radius))
    FillVertical(graphics, inset, top + 2, top + h - 2, ArgbFromColorRef(theme, 60), ArgbFromColorRef(kWhite, 100));
  if (state & ODS_FOCUS) DrawFocusRing(graphics, left, top, w, h, scale);
}

// The caption in `colour`, through GDI once the GDI+ drawing below it is done (see gdi_text.h).
void DrawCaption(HDC dc, const WindowRecord& window, const ButtonRecord& button, const RECT& area, COLORREF colour,
                 UINT alignment) {
  if (button.caption.empty()) return;
  // A size in points is the window's DPI's pixels, not the drawing surface's idea of points.
  const float size = button.fontUnit == Gdiplus::UnitPoint ? window.PointsToPixels(button.fontSize) : button.fontSize;
  DrawGdiText(dc, area, WideFromText(button.caption.c_str()), LogicalFont(button.fontName.c_str(), size, button.fontStyle),
              colour, alignment | DT_VCENTER);
}

Image* PictureForState(const ButtonPictures& pictures, UINT state) {
  Image* chosen = nullptr;
  if (state & ODS_DISABLED) chosen = pictures.disabled.get();
  else if (state & ODS_SELECTED) chosen = pictures.pressed.get();
  else if (state & kHotState) chosen = pictures.hot.get();
  return chosen ? chosen : pictures.normal.get();
}

}  // namespace

LRESULT CALLBACK SkinnedButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (SkinEngine* engine = SkinEngine::Active()) return engine->ButtonProc(hwnd, message, wParam, lParam);
  return WindowCalls::CallPrevious(PreviousProcedureOf(hwnd), hwnd, message, wParam, lParam);
}

void SkinEngine::SkinChildControls(int32_t index, HWND parent) {
  for (const bool secondPass : {false, true})
    for (HWND child = Declared::FindWindowExA(parent, nullptr, "BUTTON", nullptr); child;
         child = Declared::FindWindowExA(parent, child, "BUTTON", nullptr)) {
      const int32_t kind = KindOfStyle(Declared::GetWindowLongA(child, GWL_STYLE), secondPass);
      if (kind >= 0) RegisterButton(index, child, kind);
    }
  SkinPaintedControls(index, parent);
}

void SkinEngine::RegisterButton(int32_t index, HWND button, int32_t kind) {
  if (!button || Declared::GetPropA(button, kParentIndexProperty)) return;  // registered once
  WindowRecord& record = RecordAt(index);
  ButtonRecord& entry = record.controls.buttons.emplace_back();
  entry.hwnd = button;
  entry.kind = kind;
  entry.caption = WindowCalls::TextOf(button);
  ReadFont(button, entry);
  SetIntProperty(button, kWindowIndexProperty, static_cast<intptr_t>(record.controls.buttons.size()));
  SetIntProperty(button, kParentIndexProperty, index);
  entry.previousProc = WindowCalls::ReplaceProcedure(button, &SkinnedButtonProc);
  Declared::SetPropA(button, kPreviousProcProperty, reinterpret_cast<HANDLE>(entry.previousProc));
  if (kind == kPushButton || kind == kPictureButton) {
    // From now on the parent gets WM_DRAWITEM for it.
    const LONG style = Declared::GetWindowLongA(button, GWL_STYLE);
    Declared::SetWindowLongA(button, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
  }
  Declared::InvalidateRect(button, nullptr, TRUE);
}

void SkinEngine::SkinButton(HWND button) {
  if (const int32_t index = SkinnedAncestorIndex(button); index && ClassIs(button, "Button"))
    RegisterButton(index, button, kPushButton);
}

void SkinEngine::SkinPictureButton(HWND button, ByteBlock normal, ByteBlock hot, ByteBlock pressed,
                                   ByteBlock disabled) {
  const int32_t index = SkinnedAncestorIndex(button);
  if (!index || !ClassIs(button, "Button") || Declared::GetPropA(button, kParentIndexProperty)) return;
  RegisterButton(index, button, kPictureButton);
  ButtonPictures& pictures = RecordAt(index).controls.buttons.back().pictures;
  pictures.normal = DecodePicture(normal);
  pictures.hot = DecodePicture(hot);
  pictures.pressed = DecodePicture(pressed);
  pictures.disabled = DecodePicture(disabled);
}

bool SkinEngine::DrawOwnerDrawnButton(const DRAWITEMSTRUCT* item) {
  if (!item || item->CtlType != ODT_BUTTON || !item->hwndItem) return false;
  // An owner-drawn button of the program's own carries none of the skin's properties.
  const int32_t index = IntProperty(item->hwndItem, kParentIndexProperty);
  if (!index) return false;
  const WindowRecordPtr held = SharedRecordAt(index);
  // Containers and painted controls carry the same two properties, numbered in lists of their
  // own: an owner-drawn button skinned as a container is the program's to draw.
  const int32_t number = IntProperty(item->hwndItem, kWindowIndexProperty);
  const std::deque<ButtonRecord>& buttons = held->controls.buttons;
  if (number < 1 || static_cast<size_t>(number) > buttons.size()) return false;
  const ButtonRecord& button = buttons[static_cast<size_t>(number - 1)];
  if (button.hwnd != item->hwndItem || (button.kind != kPushButton && button.kind != kPictureButton)) return false;
  DrawButtonFace(*held, button, item->hDC, item->rcItem, item->itemState);
  return true;
}

void SkinEngine::DrawButtonFace(WindowRecord& window, const ButtonRecord& button, HDC dc, const RECT& area,
                                UINT state) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  GdiSurface surface;
  if (!dc || !CopyBackgroundUnder(window, button.hwnd, width, height, surface)) return;
  {
    Graphics graphics;
    if (!graphics.CreateFromHdc(surface.dc())) return;
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    if (button.kind == kPictureButton) {
      if (Image* picture = PictureForState(button.pictures, state)) graphics.DrawImageRect(*picture, 0, 0, w, h);
    } else {
      DrawPushButtonLayers(graphics, 0, 0, w, h, state, settings_.themeColour, window.Px(1.0f));
    }
  }
  DrawCaption(surface.dc(), window, button, RECT{0, 0, width, height}, TextColourOf(button.hwnd), DT_CENTER);
  Declared::BitBlt(dc, area.left, area.top, width, height, surface.dc(), 0, 0, SRCCOPY);
}

void SkinEngine::PaintCheckLike(WindowRecord& window, const ButtonRecord& button, HDC dc) {
  RECT client{};
  Declared::GetClientRect(button.hwnd, &client);
  GdiSurface surface;
  if (!dc || !CopyBackgroundUnder(window, button.hwnd, client.right, client.bottom, surface)) return;
  {
    Graphics graphics;
    if (!graphics.CreateFromHdc(surface.dc())) return;
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const bool checked = Declared::SendMessageA(button.hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
    const int checkSize = window.Px(kCheckSize);
    const float boxTop = static_cast<float>((client.bottom - checkSize) / 2), size = static_cast<float>(checkSize);
    if (button.kind == kCheckBox) {
      if (window.dpi != kDesignDpi) graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
      if (const std::shared_ptr<Image> box = ButtonPicture(checked ? CheckBoxCheckedPng : CheckBoxPng))
        graphics.DrawImageRect(*box, 0, boxTop, size, size);
    } else {
      // A radio button: a white disc with a dark rim, and a dot of the theme colour when chosen.
      GraphicsPath disc, dot;
      if (disc.Create() && disc.AddEllipse(0.5f, boxTop + 0.5f, size - 1, size - 1)) {
        Fill(graphics, disc, ArgbFromColorRef(kWhite, 200));
        Outline(graphics, disc, ArgbFromColorRef(kBlack, 160));
      }
      const float in = window.Px(3.5f);
      if (checked && dot.Create() && dot.AddEllipse(in, boxTop + in, size - 2 * in, size - 2 * in))
        Fill(graphics, dot, ArgbFromColorRef(settings_.themeColour));
    }
  }
  const COLORREF text = IsDisabled(button.hwnd) ? kGrey : TextColourOf(button.hwnd);
  const LONG textLeft = window.Px(kCheckSize) + window.Px(kCheckTextGap);
  DrawCaption(surface.dc(), window, button, RECT{textLeft, 0, client.right, client.bottom}, text, DT_LEFT);
  Declared::BitBlt(dc, 0, 0, client.right, client.bottom, surface.dc(), 0, 0, SRCCOPY);
}

// Draws the button at once, outside WM_PAINT and WM_DRAWITEM: hot or plain looks, and the
// check boxes and radio buttons after the system has drawn them its own way.
void SkinEngine::RedrawButton(WindowRecord& window, int32_t number, UINT state) {
  const ButtonRecord& button = window.controls.buttons[static_cast<size_t>(number - 1)];
  if (!button.hwnd || !Declared::IsWindowVisible(button.hwnd)) return;
  HDC dc = Declared::GetDC(button.hwnd);
  if (!dc) return;
  if (button.kind == kRadioButton || button.kind == kCheckBox) {
    PaintCheckLike(window, button, dc);
  } else {
    RECT client{};
    Declared::GetClientRect(button.hwnd, &client);
    if (IsDisabled(button.hwnd)) state = ODS_DISABLED;
    if (Declared::SendMessageA(button.hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED) state |= ODS_SELECTED;
    DrawButtonFace(window, button, dc, client, state);
  }
  Declared::ReleaseDC(button.hwnd, dc);
}

LRESULT SkinEngine::ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const int32_t index = IntProperty(hwnd, kParentIndexProperty);
  const WindowRecordPtr held = SharedRecordAt(index);
  const int32_t number = IntProperty(hwnd, kWindowIndexProperty);
  CheckListIndex(number, held->controls.buttons.size());
  ControlLists& controls = held->controls;
  ButtonRecord& button = controls.buttons[static_cast<size_t>(number - 1)];
  const WNDPROC previous = button.previousProc;
  const bool checkLike = button.kind == kRadioButton || button.kind == kCheckBox;
  auto passOn = [&] { return WindowCalls::CallPrevious(previous, hwnd, message, wParam, lParam); };
  // The system draws check boxes and radio buttons itself when their state changes; the skin's
  // look goes over it straight away. The click it notifies runs the program's code, which may
  // close windows: the redraw goes by the record held, never by the index read on entry.
  auto passOnAndRedraw = [&] {
    const LRESULT result = passOn();
    if (checkLike && held->alive && button.hwnd) RedrawButton(*held, number, 0);
    return result;
  };

  switch (message) {
    case WM_MOVE:
      Declared::InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      button.focused = message == WM_SETFOCUS;
      return passOnAndRedraw();
    case WM_SETTEXT:
      button.caption = WindowCalls::GbkOfMessageText(lParam);
      return passOnAndRedraw();
    case WM_SETFONT: {
      // A new font (the unit's, made again for another DPI): the caption is drawn in it.
      const LRESULT result = passOn();
      ReadFont(hwnd, button);
      if (LOWORD(lParam)) Declared::InvalidateRect(hwnd, nullptr, TRUE);
      return result;
    }
    case WM_PAINT:
      if (checkLike) {
        PAINTSTRUCT paint{};
        HDC dc = Declared::BeginPaint(hwnd, &paint);
        PaintCheckLike(*held, button, dc);
        Declared::EndPaint(hwnd, &paint);
        return 0;
      }
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (wParam == VK_SPACE) return passOnAndRedraw();
      break;
    case WM_MOUSEMOVE: {
      TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd, 0};
      Declared::TrackMouseEvent(&track);
      const bool changed = controls.hotButton != number || controls.hotRedrawPending;
      controls.hotButton = number;
      controls.hotRedrawPending = false;
      if (changed && !checkLike) RedrawButton(*held, number, kHotState | (button.focused ? ODS_FOCUS : 0));
      break;
    }
    case WM_LBUTTONDOWN:
      controls.pressedButton = number;
      return passOnAndRedraw();
    case WM_LBUTTONUP:
      controls.pressedButton = 0;
      // The release draws the button plain; the next move over it makes it hot again.
      controls.hotRedrawPending = true;
      return passOnAndRedraw();
    case WM_LBUTTONDBLCLK:
      // A double click is no second click.
      return 0;
    case WM_MOUSELEAVE:
      controls.pressedButton = 0;
      if (controls.hotButton == number) controls.hotButton = 0;
      RedrawButton(*held, number, button.focused ? ODS_FOCUS : 0);
      break;
    case BM_SETCHECK:
    case BM_SETSTATE:
    case WM_ENABLE:
      return passOnAndRedraw();
    case WM_NCDESTROY:
      ReleaseControlColouring(hwnd);
      UnhookControl(hwnd, &SkinnedButtonProc, previous, kButtonProperties);
      button.hwnd = nullptr;
      break;
  }
  return passOn();
}
