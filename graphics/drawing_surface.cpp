// Graphics: creation over a window, a device context or an image; modes, shapes, text, images,
// clipping and the two transforms about a point.
#include "graphics/drawing_surface.h"

#include "graphics/fonts.h"
#include "graphics/images.h"
#include "graphics/paths_pens_brushes.h"

using Gdiplus::ARGB;
using Gdiplus::CombineMode;
using Gdiplus::CompositingQuality;
using Gdiplus::GpBrush;
using Gdiplus::GpFont;
using Gdiplus::GpImage;
using Gdiplus::GpPath;
using Gdiplus::GpPen;
using Gdiplus::GpStringFormat;
using Gdiplus::InterpolationMode;
using Gdiplus::PixelOffsetMode;
using Gdiplus::REAL;
using Gdiplus::RectF;
using Gdiplus::SmoothingMode;
using Gdiplus::Unit;

bool Graphics::Delete() { return ReleaseWith<K_GdipDeleteGraphics>(graphicsHandle_); }

bool Graphics::CreateFromHwnd(HWND window, OptionalArg<bool> useColourManagement) {
  const bool ok = useColourManagement.Or(false) ? CallStatus<K_GdipCreateFromHWNDICM>(window, &graphicsHandle_)
                                                : CallStatus<K_GdipCreateFromHWND>(window, &graphicsHandle_);
  return Adopt(graphicsHandle_, ok);
}

bool Graphics::CreateFromHdc(HDC dc, OptionalArg<HANDLE> device) {
  const bool ok = device.given ? CallStatus<K_GdipCreateFromHDC2>(dc, device.value, &graphicsHandle_)
                               : CallStatus<K_GdipCreateFromHDC>(dc, &graphicsHandle_);
  return Adopt(graphicsHandle_, ok);
}

bool Graphics::CreateFromImage(const Image& image) {
  const bool ok = CallStatus<K_GdipGetImageGraphicsContext>(NativeOf<GpImage>(image), &graphicsHandle_);
  return Adopt(graphicsHandle_, ok);
}

bool Graphics::SetCompositingQuality(CompositingQuality quality) {
  return CallStatus<K_GdipSetCompositingQuality>(graphicsHandle_, quality);
}

bool Graphics::SetInterpolationMode(InterpolationMode mode) {
  return CallStatus<K_GdipSetInterpolationMode>(graphicsHandle_, mode);
}

bool Graphics::SetSmoothingMode(SmoothingMode mode) {
  return CallStatus<K_GdipSetSmoothingMode>(graphicsHandle_, mode);
}

bool Graphics::SetPixelOffsetMode(PixelOffsetMode mode) {
  return CallStatus<K_GdipSetPixelOffsetMode>(graphicsHandle_, mode);
}

bool Graphics::DrawLine(const Pen& pen, float x1, float y1, float x2, float y2) {
  return CallStatus<K_GdipDrawLine>(graphicsHandle_, NativeOf<GpPen>(pen), x1, y1, x2, y2);
}

bool Graphics::DrawRectangle(const Pen& pen, float x, float y, float width, float height) {
  return CallStatus<K_GdipDrawRectangle>(graphicsHandle_, NativeOf<GpPen>(pen), x, y, width, height);
}

bool Graphics::DrawPath(const Pen& pen, const GraphicsPath& path) {
  return CallStatus<K_GdipDrawPath>(graphicsHandle_, NativeOf<GpPen>(pen), NativeOf<GpPath>(path));
}

bool Graphics::Clear(ARGB colour, int32_t /*unused*/) { return CallStatus<K_GdipGraphicsClear>(graphicsHandle_, colour); }

bool Graphics::FillRectangle(const Brush& brush, float x, float y, float width, float height) {
  return CallStatus<K_GdipFillRectangle>(graphicsHandle_, NativeOf<GpBrush>(brush), x, y, width, height);
}

bool Graphics::FillPath(const Brush& brush, const GraphicsPath& path) {
  return CallStatus<K_GdipFillPath>(graphicsHandle_, NativeOf<GpBrush>(brush), NativeOf<GpPath>(path));
}

bool Graphics::DrawString(TextValue text, const Font& font, const Brush& brush, const RectF& layout,
                          const StringFormat& format) {
  const OwnedBytes wide = ToWideText(text);
  const int length = Declared::lstrlenW(WideChars(wide));
  return CallStatus<K_GdipDrawString>(graphicsHandle_, WideChars(wide), length, NativeOf<GpFont>(font), &layout,
                                      NativeOf<GpStringFormat>(format), NativeOf<GpBrush>(brush));
}

bool Graphics::MeasureString(TextValue text, const Font& font, const RectF& layout, const StringFormat& format,
                             RectF& bounds) {
  bounds = RectF(0, 0, 0, 0);
  const OwnedBytes wide = ToWideText(text);
  const int length = Declared::lstrlenW(WideChars(wide));
  return CallStatus<K_GdipMeasureString>(graphicsHandle_, WideChars(wide), length, NativeOf<GpFont>(font), &layout,
                                         NativeOf<GpStringFormat>(format), &bounds, nullptr, nullptr);
}

bool Graphics::DrawImage(const Image& image, float x, float y) {
  return CallStatus<K_GdipDrawImage>(graphicsHandle_, NativeOf<GpImage>(image), x, y);
}

bool Graphics::DrawImageRect(const Image& image, float x, float y, float width, float height,
                             OptionalArg<Unit> unit) {
  const auto sourceWidth = static_cast<REAL>(image.GetWidth());
  const auto sourceHeight = static_cast<REAL>(image.GetHeight());
  return CallStatus<K_GdipDrawImageRectRect>(graphicsHandle_, NativeOf<GpImage>(image), x, y, width, height,
                                             REAL{0}, REAL{0}, sourceWidth, sourceHeight, unit.Or(Gdiplus::UnitPixel),
                                             nullptr, nullptr, nullptr);
}

bool Graphics::SetClipPath(const GraphicsPath& path, OptionalArg<CombineMode> mode) {
  return CallStatus<K_GdipSetClipPath>(graphicsHandle_, NativeOf<GpPath>(path), mode.Or(Gdiplus::CombineModeReplace));
}

bool Graphics::SetClipRect(float x, float y, float width, float height, OptionalArg<CombineMode> mode) {
  return CallStatus<K_GdipSetClipRect>(graphicsHandle_, x, y, width, height, mode.Or(Gdiplus::CombineModeReplace));
}

bool Graphics::ResetClip() { return CallStatus<K_GdipResetClip>(graphicsHandle_); }

bool Graphics::ScaleTransformAt(float scaleX, float scaleY, float x, float y) {
  return CallStatus<K_GdipTranslateWorldTransform>(graphicsHandle_, -x, -y, Gdiplus::MatrixOrderAppend) &&
         CallStatus<K_GdipScaleWorldTransform>(graphicsHandle_, scaleX, scaleY, Gdiplus::MatrixOrderAppend) &&
         CallStatus<K_GdipTranslateWorldTransform>(graphicsHandle_, x, y, Gdiplus::MatrixOrderAppend);
}

bool Graphics::RotateTransformAt(float angle, float x, float y) {
  return CallStatus<K_GdipTranslateWorldTransform>(graphicsHandle_, -x, -y, Gdiplus::MatrixOrderAppend) &&
         CallStatus<K_GdipRotateWorldTransform>(graphicsHandle_, angle, Gdiplus::MatrixOrderAppend) &&
         CallStatus<K_GdipTranslateWorldTransform>(graphicsHandle_, x, y, Gdiplus::MatrixOrderAppend);
}
