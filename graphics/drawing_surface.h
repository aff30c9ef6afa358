// Graphics: the GDI+ drawing surface over a device context, a window or an image, with the
// drawing, filling, text, image and clipping methods the skin paints with.
#pragma once

#include "graphics/flat_methods.h"
#include "graphics/gdiplus_object.h"

class Brush;
class Font;
class GraphicsPath;
class Image;
class Pen;
class StringFormat;

class Graphics : public GdiPlusObject {
 public:
  Graphics() = default;
  ~Graphics() override { Delete(); }

  bool Delete();
  // GdipCreateFromHWNDICM when colour management is asked for, else GdipCreateFromHWND.
  bool CreateFromHwnd(HWND window, OptionalArg<bool> useColourManagement = {});
  // GdipCreateFromHDC2 (dc, device) when the device is given, else GdipCreateFromHDC (dc).
  bool CreateFromHdc(HDC dc, OptionalArg<HANDLE> device = {});
  bool CreateFromImage(const Image& image);

  bool SetCompositingQuality(Gdiplus::CompositingQuality quality);
  bool SetInterpolationMode(Gdiplus::InterpolationMode mode);
  bool SetSmoothingMode(Gdiplus::SmoothingMode mode);
  bool SetPixelOffsetMode(Gdiplus::PixelOffsetMode mode);

  bool DrawLine(const Pen& pen, float x1, float y1, float x2, float y2);
  bool DrawRectangle(const Pen& pen, float x, float y, float width, float height);
  bool DrawPath(const Pen& pen, const GraphicsPath& path);
  // The second argument is accepted and not used.
  bool Clear(Gdiplus::ARGB colour, int32_t unused = 0);
  bool FillRectangle(const Brush& brush, float x, float y, float width, float height);
  bool FillPath(const Brush& brush, const GraphicsPath& path);

  // The GBK text, converted to UTF-16, laid out in the rectangle.
  bool DrawString(TextValue text, const Font& font, const Brush& brush, const Gdiplus::RectF& layout,
                  const StringFormat& format);
  // The box the text needs inside the layout rectangle, in `bounds` (all zero on failure).
  bool MeasureString(TextValue text, const Font& font, const Gdiplus::RectF& layout,
                     const StringFormat& format, Gdiplus::RectF& bounds);

  // The image at its own size.
  bool DrawImage(const Image& image, float x, float y);
  // The whole image scaled into the rectangle; unit pixel (2) when not given.
  bool DrawImageRect(const Image& image, float x, float y, float width, float height,
                     OptionalArg<Gdiplus::Unit> unit = {});

  // Combine mode 0 (replace) when not given.
  bool SetClipPath(const GraphicsPath& path, OptionalArg<Gdiplus::CombineMode> mode = {});
  bool SetClipRect(float x, float y, float width, float height, OptionalArg<Gdiplus::CombineMode> mode = {});
  bool ResetClip();

  // Scale or rotate the world transform about the point (x, y): translate by its negative, apply
  // the operation, translate back, each appended to the current transform.
  bool ScaleTransformAt(float scaleX, float scaleY, float x, float y);
  bool RotateTransformAt(float angle, float x, float y);

#define FLAT_METHODS_NATIVE Gdiplus::GpGraphics
#define FLAT_METHODS_HANDLE graphicsHandle_
#include "graphics/flat_methods.inc"

 protected:
  void OnHandleSet(void* h) override { graphicsHandle_ = static_cast<Gdiplus::GpGraphics*>(h); }

 private:
  Gdiplus::GpGraphics* graphicsHandle_ = nullptr;
};
