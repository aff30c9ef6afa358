// The skinned frame: the rounded window region, the background, caption icon and text, and the
// off-screen cache every paint is copied from.
#include "graphics/drawing_surface.h"
#include "graphics/paths_pens_brushes.h"
#include "runtime/imports/declared_functions.h"
#include "runtime/startup_trace.h"
#include "runtime/units/picture_scaling.h"
#include "runtime/units/pictures.h"
#include "runtime/wide_text.h"
#include "skin/gdi_text.h"
#include "skin/shapes.h"
#include "skin/skin_engine.h"
#include "skin/skin_properties.h"
#include "skin/window_calls.h"

namespace {

void DrawPlaced(Graphics& graphics, Image& picture, int32_t mode, const RECT& client) {
  const float width = static_cast<float>(picture.GetWidth());
  const float height = static_cast<float>(picture.GetHeight());
  switch (mode) {
    case kImageStretched:
      graphics.DrawImageRect(picture, 0, 0, static_cast<float>(client.right), static_cast<float>(client.bottom));
      return;
    case kImageTopRight:
      graphics.DrawImage(picture, static_cast<float>(client.right) - width, 0);
      return;
    case kImageCentred:
      graphics.DrawImage(picture, (static_cast<float>(client.right) - width) / 2,
                         (static_cast<float>(client.bottom) - height) / 2);
      return;
    default:
      graphics.DrawImage(picture, 0, 0);
  }
}

RECT CaptionTextArea(const WindowRecord& record, const RECT& client) {
  const int left = record.Px(kBorderWidth + 6), top = record.Px(kBorderWidth + 5);
  return RECT{left, top, left + client.right - record.buttonsWidth - record.Px(2 * kBorderWidth + 10),
              top + record.Px(32)};
}

// The caption icon at the size the caption shows it: the shared one at 96 DPI; at another DPI one
// made again from the icon's resource at that size, rather than the shared one stretched.
HICON CaptionIcon(WindowRecord& record, HICON shared) {
  if (!shared || record.dpi == kDesignDpi) return shared;
  if (!record.scaledCaptionIcon) {
    const int size = record.Px(17);
    record.scaledCaptionIcon.reset(static_cast<HICON>(CopyImage(shared, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE)));
  }
  return record.scaledCaptionIcon ? record.scaledCaptionIcon.get() : shared;
}

// `picture` scaled to width by height, copied into the DC's top-left corner.
bool CopyScaledPixels(HDC dc, const DecodedPicture& picture, int width, int height) {
  const DecodedPicture scaled = ScaledPicture(picture, width, height);
  if (scaled.pixels.empty()) return false;
  const BITMAPINFO info = TopDownDibInfo(width, height);
  return SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                           static_cast<UINT>(height), scaled.pixels.data(), &info, DIB_RGB_COLORS) == height;
}

void CopyArea(HDC to, HDC from, const RECT& area) {
  Declared::BitBlt(to, area.left, area.top, area.right - area.left, area.bottom - area.top, from, area.left,
                   area.top, SRCCOPY);
}

}  // namespace

void SkinEngine::SetRoundRegion(WindowRecord& record) {
  const HWND hwnd = record.hwnd;
  const int corner = record.Px(5);
  RECT client{}, box{};
  Declared::GetClientRect(hwnd, &client);
  // Setting it again would change nothing on screen, and costs: measured under Wine, on a window
  // being shown the three calls below took 15 ms, most of it the no-op SetWindowPos activating
  // the window.
  if (record.regionSize.cx == client.right && record.regionSize.cy == client.bottom && record.regionCorner == corner &&
      GetWindowRgnBox(hwnd, &box) != ERROR)
    return;
  Declared::SetWindowRgn(hwnd, nullptr, FALSE);
  // A window not shown yet is not activated by its region: that would take the activation from the
  // window the user is in before anything of this one can be seen.
  const UINT activation = Declared::IsWindowVisible(hwnd) ? 0 : SWP_NOACTIVATE;
  Declared::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | activation);
  Declared::GetClientRect(hwnd, &client);
  HRGN region = Declared::CreateRoundRectRgn(0, 0, client.right + 1, client.bottom + 1, corner, corner);
  // The window owns the region once it is set; the system deletes it.
  if (region && !Declared::SetWindowRgn(hwnd, region, TRUE)) {
    Declared::DeleteObject(region);
    region = nullptr;
  }
  record.regionSize = region ? SIZE{client.right, client.bottom} : SIZE{};
  record.regionCorner = corner;
}

void SkinEngine::BuildBackground(WindowRecord& record) {
  RECT client{};
  Declared::GetClientRect(record.hwnd, &client);
  if (!record.background.Matches(client.right, client.bottom) &&
      !record.background.Make(nullptr, client.right, client.bottom))
    return;
  const bool own = record.ownPicture != nullptr;
  // The skin's own JPEG stretched over the window covers every pixel of it: the pixels scaled
  // here are the background, without the ground under them or GDI+'s stretch (under Wine 12 ms
  // of the first frame against 1 here).
  if (!own && !record.gloss && settings_.imageMode == kImageStretched && settings_.skinPixels &&
      CopyScaledPixels(record.background.dc(), *settings_.skinPixels, client.right, client.bottom))
    return;
  Graphics graphics;
  if (!graphics.CreateFromHdc(record.background.dc())) return;
  graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBilinear);
  graphics.Clear(0xFF000000);
  SolidBrush ground;
  GraphicsPath shape;
  if (ground.Create(own ? record.ownColour : settings_.backColour) && shape.Create() &&
      AddRoundedRectangle(shape, 0, 0, static_cast<float>(client.right), static_cast<float>(client.bottom),
                          AllCorners(record.Px(4.0f))))
    graphics.FillPath(ground, shape);
  if (Image* picture = own ? record.ownPicture.get() : settings_.skinPicture.get())
    DrawPlaced(graphics, *picture, own ? record.ownImageMode : settings_.imageMode, client);
  if (record.gloss) {
    LinearGradientBrush wash;
    if (wash.Create({0, 0}, {0, static_cast<float>(client.bottom)}, ArgbFromColorRef(0xFFFFFF, 150),
                    ArgbFromColorRef(0xFFFFFF, 0)))
      graphics.FillRectangle(wash, 0, 0, static_cast<float>(client.right), static_cast<float>(client.bottom));
  }
}

void SkinEngine::PaintFrame(int32_t index, HDC dc, int32_t /*flag*/) {
  const WindowRecordPtr held = SharedRecordAt(index);
  WindowRecord& record = *held;
  const HWND hwnd = record.hwnd;
  // The region's messages reach the program, whose code may close this window or one before it.
  SetRoundRegion(record);
  index = PositionOf(record);
  if (!index) return;
  RECT client{};
  Declared::GetClientRect(hwnd, &client);
  StartupMark("frame: region set");
  BuildBackground(record);
  StartupMark("frame: background built");
  if (!record.background.dc()) return;
  if (!record.frame.Matches(client.right, client.bottom)) {
    if (!record.frame.Make(nullptr, client.right, client.bottom)) {
      PublishFrame(hwnd, nullptr, nullptr);
      return;
    }
    PublishFrame(hwnd, record.frame.dc(), record.frame.bitmap());
  }
  CopyArea(record.frame.dc(), record.background.dc(), client);
  DrawTitle(index, nullptr);
  StartupMark("frame: caption drawn");
  if (record.bottomBarHeight > 0) DrawBottomBar(index);
  // The buttons are drawn plain into the frame; the whole frame goes to the screen below.
  for (int32_t button = 1; button <= static_cast<int32_t>(record.titleButtons.size()); ++button)
    RenderTitleButton(record, button, false, 0);
  if (dc) CopyArea(dc, record.frame.dc(), client);
  // The cache now shows the window as it is: a WM_PAINT that finds nothing changed since, as the
  // one right after the render of WM_SHOWWINDOW does, copies it instead of rendering it again.
  record.needsRepaint = false;
  StartupMark("frame rendered");
}

void SkinEngine::BlitFrame(int32_t index, HDC dc) {
  WindowRecord& record = RecordAt(index);
  if (!dc || !record.frame.dc()) return;
  CopyArea(dc, record.frame.dc(), RECT{0, 0, record.frame.width(), record.frame.height()});
}

void SkinEngine::DrawTitle(int32_t index, TextValue text) {
  WindowRecord& record = RecordAt(index);
  if (!record.frame.dc() || !record.background.dc()) return;
  RECT client{};
  Declared::GetClientRect(record.hwnd, &client);
  const RECT area = CaptionTextArea(record, client);
  CopyArea(record.frame.dc(), record.background.dc(), area);

  const int iconX = record.Px(kBorderWidth + 6), iconY = record.Px(kBorderWidth + 2);
  if (const HICON icon = CaptionIcon(record, settings_.defaultIcon)) {
    const int size = record.Px(17);
    Declared::DrawIconEx(record.frame.dc(), iconX, iconY, icon, size, size, 0, nullptr, DI_NORMAL);
  }
  const std::string ownText = text ? std::string() : WindowCalls::TextOf(record.hwnd);
  const TextValue caption = text ? text : ownText.c_str();
  if (!*caption) return;

  const std::wstring wide = WideFromText(caption);
  HaloText line;
  line.text = wide;
  line.font = LogicalFont(record.titleFontName.c_str(), record.PointsToPixels(static_cast<float>(record.titleFontSize)),
                          record.titleFontStyle);
  line.ink = record.titleColour;
  // The halo: four copies a pixel (at 96 DPI) off in each direction, under the text itself.
  line.halo = record.titleShadowColour;
  line.haloAlpha = 150;
  line.haloOffset = record.Px(1);
  const int x = iconX + record.Px(20);
  DrawHaloText(record.frame.dc(), RECT{x, area.top, area.right, area.bottom}, line);
}
