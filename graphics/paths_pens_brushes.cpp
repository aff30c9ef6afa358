// GraphicsPath (with the rounded rectangle the skin outlines its frames with), Pen and the brushes.
#include "graphics/paths_pens_brushes.h"

#include <algorithm>
#include <cmath>

using Gdiplus::ARGB;
using Gdiplus::FillMode;
using Gdiplus::GpBrush;
using Gdiplus::GpPath;
using Gdiplus::GpPen;
using Gdiplus::PointF;
using Gdiplus::REAL;
using Gdiplus::Unit;
using Gdiplus::WrapMode;

// --- GraphicsPath ---

bool GraphicsPath::Delete() { return ReleaseWith<K_GdipDeletePath>(pathHandle_); }

bool GraphicsPath::Create(OptionalArg<FillMode> fillMode) {
  const bool ok = CallStatus<K_GdipCreatePath>(fillMode.Or(Gdiplus::FillModeAlternate), &pathHandle_);
  return Adopt(pathHandle_, ok);
}

bool GraphicsPath::Reset() { return CallStatus<K_GdipResetPath>(pathHandle_); }

bool GraphicsPath::CloseFigure() { return CallStatus<K_GdipClosePathFigure>(pathHandle_); }

bool GraphicsPath::AddLine(float x1, float y1, float x2, float y2) {
  return CallStatus<K_GdipAddPathLine>(pathHandle_, x1, y1, x2, y2);
}

bool GraphicsPath::AddArc(float x, float y, float width, float height, float startAngle, float sweepAngle) {
  return CallStatus<K_GdipAddPathArc>(pathHandle_, x, y, width, height, startAngle, sweepAngle);
}

bool GraphicsPath::AddRectangle(float x, float y, float width, float height) {
  return CallStatus<K_GdipAddPathRectangle>(pathHandle_, x, y, width, height);
}

bool GraphicsPath::AddEllipse(float x, float y, float width, float height) {
  return CallStatus<K_GdipAddPathEllipse>(pathHandle_, x, y, width, height);
}

bool GraphicsPath::AddRoundRect(float x, float y, float width, float height, int32_t roundness) {
  const int32_t percent = std::clamp(roundness, 1, 100);
  const REAL rx = std::trunc(width * static_cast<REAL>(percent) / 100);
  const REAL ry = std::trunc(height * static_cast<REAL>(percent) / 100);
  // Bounding box corner and start angle of each arc, clockwise from the top right.
  const struct {
    REAL left, top, start;
  } corners[] = {
      {x + width - rx, y, 270},
      {x + width - rx, y + height - ry, 0},
      {x, y + height - ry, 90},
      {x, y, 180},
  };
  for (const auto& corner : corners) {
    CallStatus<K_GdipAddPathArc>(pathHandle_, corner.left, corner.top, rx, ry, corner.start, REAL{90});
  }
  return CallStatus<K_GdipClosePathFigure>(pathHandle_);
}

bool GraphicsPath::Clone(GraphicsPath& target) const {
  GpPath* clone = nullptr;
  const bool ok = CallStatus<K_GdipClonePath>(pathHandle_, &clone);
  target.SetHandle(clone);
  return ok;
}

// --- Pen ---

bool Pen::Delete() { return ReleaseWith<K_GdipDeletePen>(penHandle_); }

bool Pen::Create(ARGB colour, float width, OptionalArg<Unit> unit) {
  const bool ok = CallStatus<K_GdipCreatePen1>(colour, width, unit.Or(Gdiplus::UnitWorld), &penHandle_);
  return Adopt(penHandle_, ok);
}

bool Pen::CreateFromBrush(const Brush& brush, float width, OptionalArg<Unit> unit) {
  const bool ok =
      CallStatus<K_GdipCreatePen2>(NativeOf<GpBrush>(brush), width, unit.Or(Gdiplus::UnitWorld), &penHandle_);
  return Adopt(penHandle_, ok);
}

bool Pen::SetWidth(float width) { return CallStatus<K_GdipSetPenWidth>(penHandle_, width); }

bool Pen::Clone(Pen& target) const {
  GpPen* clone = nullptr;
  const bool ok = CallStatus<K_GdipClonePen>(penHandle_, &clone);
  target.SetHandle(clone);
  return ok;
}

// --- Brush ---

bool Brush::Delete() { return ReleaseWith<K_GdipDeleteBrush>(brushHandle_); }

bool Brush::Clone(Brush& target) const {
  GpBrush* clone = nullptr;
  const bool ok = CallStatus<K_GdipCloneBrush>(brushHandle_, &clone);
  target.SetHandle(clone);
  return ok;
}

int32_t Brush::GetType() const {
  auto type = static_cast<Gdiplus::BrushType>(-1);
  CallStatus<K_GdipGetBrushType>(brushHandle_, &type);
  return static_cast<int32_t>(type);
}

bool SolidBrush::Create(ARGB colour) {
  const bool ok = CallStatus<K_GdipCreateSolidFill>(colour, &ownHandle_);
  return Adopt(ownHandle_, ok);
}

bool SolidBrush::SetColor(ARGB colour) { return CallStatus<K_GdipSetSolidFillColor>(ownHandle_, colour); }

ARGB SolidBrush::GetColor() const {
  ARGB colour = 0;
  CallStatus<K_GdipGetSolidFillColor>(ownHandle_, &colour);
  return colour;
}

bool LinearGradientBrush::Create(const PointF& start, const PointF& end, ARGB startColour, ARGB endColour) {
  const bool ok = CallStatus<K_GdipCreateLineBrush>(&start, &end, startColour, endColour, Gdiplus::WrapModeTile,
                                                    &ownHandle_);
  return Adopt(ownHandle_, ok);
}

bool LinearGradientBrush::SetPresetBlend(std::span<const ARGB> colours, std::span<const float> positions) {
  if (positions.size() < colours.size()) return RejectArguments();
  return CallStatus<K_GdipSetLinePresetBlend>(ownHandle_, colours.data(), positions.data(),
                                              static_cast<INT>(colours.size()));
}

bool LinearGradientBrush::SetLinearBlend(float focus, float scale) {
  return CallStatus<K_GdipSetLineLinearBlend>(ownHandle_, focus, scale);
}

bool PathGradientBrush::CreateFromPath(const GraphicsPath& path) {
  const bool ok = CallStatus<K_GdipCreatePathGradientFromPath>(NativeOf<GpPath>(path), &ownHandle_);
  return Adopt(ownHandle_, ok);
}

bool PathGradientBrush::CreateFromPoints(std::span<const PointF> points, OptionalArg<WrapMode> wrapMode) {
  const bool ok = CallStatus<K_GdipCreatePathGradient>(points.data(), static_cast<INT>(points.size()),
                                                       wrapMode.Or(Gdiplus::WrapModeClamp), &ownHandle_);
  return Adopt(ownHandle_, ok);
}

bool PathGradientBrush::SetCenterColor(ARGB colour) {
  return CallStatus<K_GdipSetPathGradientCenterColor>(ownHandle_, colour);
}

bool PathGradientBrush::SetSurroundColors(std::span<const ARGB> colours, int32_t* count) {
  INT local = static_cast<INT>(colours.size());
  INT* passed = count ? count : &local;
  // GDI+ reads *passed colours: never more than there are.
  if (*passed < 0 || static_cast<size_t>(*passed) > colours.size()) return RejectArguments();
  return CallStatus<K_GdipSetPathGradientSurroundColorsWithCount>(ownHandle_, colours.data(), passed);
}
