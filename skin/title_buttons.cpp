// Caption buttons: where they sit, which one the mouse is over, how each is drawn in its plain,
// highlighted and pressed looks, and what a click on each kind does.
#include <cmath>

#include "graphics/drawing_surface.h"
#include "graphics/paths_pens_brushes.h"
#include "runtime/imports/declared_functions.h"
#include "skin/shapes.h"
#include "skin/skin_engine.h"
#include "skin/skin_properties.h"

namespace {

using namespace skin_colours;

constexpr double kTolerance = 1e-7;
constexpr COLORREF kRed = 0x0000FF;

RECT Rounded(const Gdiplus::RectF& r) {
  return RECT{static_cast<LONG>(std::lround(r.X)), static_cast<LONG>(std::lround(r.Y)),
              static_cast<LONG>(std::lround(r.X + r.Width)), static_cast<LONG>(std::lround(r.Y + r.Height))};
}

// A vertical gradient over the shape: `top` at the rectangle's top edge, `bottom` at its bottom.
void FillVertical(Graphics& graphics, const GraphicsPath& shape, const Gdiplus::RectF& r, Gdiplus::ARGB top,
                  Gdiplus::ARGB bottom) {
  LinearGradientBrush brush;
  if (brush.Create({r.X, r.Y}, {r.X, r.Y + r.Height}, top, bottom)) graphics.FillPath(brush, shape);
}

// Calls a caption button's subroutine as the runtime calls subroutines.
void RunHandler(SkinHandler handler) {
  if (!handler) return;
  static const int32_t noArguments[1] = {0};
  handler(noArguments, 0, 0);
}

}  // namespace

void SkinEngine::LayoutTitleButtons(int32_t index) {
  WindowRecord& record = RecordAt(index);
  RECT client{};
  Declared::GetClientRect(record.hwnd, &client);
  record.buttonsLeft = client.right - record.buttonsWidth + record.Px(1);
  record.buttonsHeight = record.Px(22);
  const float x0 = static_cast<float>(record.buttonsLeft + record.Px(2));
  const float y0 = static_cast<float>(record.buttonsTop + record.Px(1));
  const float step = static_cast<float>(record.Px(27)), height = static_cast<float>(record.Px(18));
  for (size_t i = 0; i < record.titleButtons.size(); ++i) {
    TitleButton& button = record.titleButtons[i];
    const float width = static_cast<float>(record.Px(button.kind == kCloseButton ? 40 : 26));
    button.rect = Gdiplus::RectF(x0 + step * static_cast<float>(i), y0, width, height);
    record.toolTip.SetToolRect(i + 1, Rounded(button.rect));
  }
}

int32_t SkinEngine::HitTestTitleButton(int32_t index, int x, int y) {
  const WindowRecord& record = RecordAt(index);
  if (x < record.buttonsLeft || y < record.buttonsTop) return 0;
  if (x > record.buttonsLeft + record.buttonsWidth || y > record.buttonsTop + record.buttonsHeight) return 0;
  const double px = x, py = y;
  for (size_t i = 0; i < record.titleButtons.size(); ++i) {
    const Gdiplus::RectF& r = record.titleButtons[i].rect;
    if (px > r.X + kTolerance && px < r.X + r.Width - kTolerance && py > r.Y + kTolerance &&
        py < r.Y + r.Height - kTolerance)
      return static_cast<int32_t>(i + 1);
  }
  return 0;
}

int32_t SkinEngine::FindMaximizeButton(int32_t index) {
  const WindowRecord& record = RecordAt(index);
  for (size_t i = 0; i < record.titleButtons.size(); ++i)
    if (record.titleButtons[i].kind == kMaximizeButton) return static_cast<int32_t>(i + 1);
  return 0;
}

RECT SkinEngine::RenderTitleButton(WindowRecord& record, int32_t index, bool pressed, int32_t alpha) {
  if (index < 1 || index > static_cast<int32_t>(record.titleButtons.size())) return RECT{};
  if (!record.frame.dc() || !record.background.dc()) return RECT{};
  const TitleButton& button = record.titleButtons[static_cast<size_t>(index - 1)];
  const Gdiplus::RectF& r = button.rect;
  const RECT box = Rounded(r);
  Declared::BitBlt(record.frame.dc(), box.left, box.top, box.right - box.left, box.bottom - box.top,
                   record.background.dc(), box.left, box.top, SRCCOPY);

  Graphics graphics;
  if (!graphics.CreateFromHdc(record.frame.dc())) return box;
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  const bool close = button.kind == kCloseButton;
  if (pressed || alpha > 0) {
    GraphicsPath shape;
    const float round = record.Px(close ? 5.0f : 1.0f);
    const CornerRadii corners = close ? CornerRadii{0, round, 0, 0} : CornerRadii{round, round, 0, 0};
    if (shape.Create() && AddRoundedRectangle(shape, r.X, r.Y, r.Width, r.Height, corners)) {
      if (pressed) {
        FillVertical(graphics, shape, r, close ? ArgbFromColorRef(kRed, 255) : ArgbFromColorRef(kBlack, 80),
                     ArgbFromColorRef(kWhite, close ? 30 : 5));
      } else {
        const COLORREF accent = close ? kRed : settings_.themeColour;
        FillVertical(graphics, shape, r, ArgbFromColorRef(accent, static_cast<uint32_t>(alpha)),
                     ArgbFromColorRef(kWhite, 0));
        // The glass: light at the top of the button, gone by its bottom.
        FillVertical(graphics, shape, r, ArgbFromColorRef(kWhite, 50), ArgbFromColorRef(kBlack, 0));
      }
    }
  }
  Image* picture = button.picture.get();
  if (button.kind == kMaximizeButton && record.maximized && button.secondPicture) picture = button.secondPicture.get();
  if (picture) {
    // At its own size, centred: the close glyph is 38 pixels wide in a 40-pixel button. At another
    // DPI than 96 it is scaled as the button is, smoothly.
    const float width = record.Px(static_cast<float>(picture->GetWidth()));
    const float height = record.Px(static_cast<float>(picture->GetHeight()));
    if (record.dpi != kDesignDpi) graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.DrawImageRect(*picture, std::floor(r.X + (r.Width - width) / 2), std::floor(r.Y + (r.Height - height) / 2),
                           width, height);
  }
  return box;
}

void SkinEngine::DrawTitleButton(int32_t index, int32_t button, bool pressed, int32_t alpha) {
  WindowRecord& record = RecordAt(index);
  const RECT box = RenderTitleButton(record, button, pressed, alpha);
  if (box.right <= box.left) return;
  HDC dc = Declared::GetDC(record.hwnd);
  if (!dc) return;
  Declared::BitBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, record.frame.dc(), box.left,
                   box.top, SRCCOPY);
  Declared::ReleaseDC(record.hwnd, dc);
}

void SkinEngine::TitleButtonClick(int32_t index, int32_t button) {
  WindowRecord& record = RecordAt(index);
  if (button < 1 || button > static_cast<int32_t>(record.titleButtons.size())) return;
  const HWND hwnd = record.hwnd;
  const TitleButton& pressed = record.titleButtons[static_cast<size_t>(button - 1)];
  switch (pressed.kind) {
    case kCloseButton:
      Declared::SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case kMaximizeButton:
      record.needsRepaint = true;
      record.minimized = false;
      record.maximized = !record.maximized;
      Declared::SendMessageA(hwnd, WM_SYSCOMMAND, record.maximized ? SC_MAXIMIZE : SC_RESTORE, 0);
      break;
    case kMinimizeButton:
      record.minimized = true;
      Declared::SendMessageA(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
      break;
    case kHelpButton:
      RunHandler(record.helpHandler);
      break;
    case kMenuButton:
      RunHandler(record.menuHandler);
      break;
    case kUserButton:
      RunHandler(pressed.handler);
      break;
  }
}
