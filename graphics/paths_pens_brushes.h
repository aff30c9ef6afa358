// The shapes and the paint of the skin: GraphicsPath, Pen, and Brush with its solid, linear
// gradient and path gradient kinds.
#pragma once

#include <span>

#include "graphics/flat_methods.h"
#include "graphics/gdiplus_object.h"

class GraphicsPath : public GdiPlusObject {
 public:
  GraphicsPath() = default;
  ~GraphicsPath() override { Delete(); }

  bool Delete();
  // Alternate (0) when the fill mode is not given.
  bool Create(OptionalArg<Gdiplus::FillMode> fillMode = {});
  bool Reset();
  bool CloseFigure();
  bool AddLine(float x1, float y1, float x2, float y2);
  bool AddArc(float x, float y, float width, float height, float startAngle, float sweepAngle);
  bool AddRectangle(float x, float y, float width, float height);
  bool AddEllipse(float x, float y, float width, float height);
  // Four 90-degree corner arcs, clockwise from the top right, and the figure closed. Roundness is
  // a percentage clamped to 1..100; each corner box is trunc(width * roundness / 100) by
  // trunc(height * roundness / 100). Returns the status of closing the figure.
  bool AddRoundRect(float x, float y, float width, float height, int32_t roundness);
  // The clone's handle is given to `target`, which should be empty.
  bool Clone(GraphicsPath& target) const;

#define FLAT_METHODS_NATIVE Gdiplus::GpPath
#define FLAT_METHODS_HANDLE pathHandle_
#include "graphics/flat_methods.inc"

 protected:
  void OnHandleSet(void* h) override { pathHandle_ = static_cast<Gdiplus::GpPath*>(h); }

 private:
  Gdiplus::GpPath* pathHandle_ = nullptr;
};

class Brush;

class Pen : public GdiPlusObject {
 public:
  Pen() = default;
  ~Pen() override { Delete(); }

  bool Delete();
  // The unit is passed through: 0 (world) when not given.
  bool Create(Gdiplus::ARGB colour, float width, OptionalArg<Gdiplus::Unit> unit = {});
  bool CreateFromBrush(const Brush& brush, float width, OptionalArg<Gdiplus::Unit> unit = {});
  bool SetWidth(float width);
  bool Clone(Pen& target) const;

#define FLAT_METHODS_NATIVE Gdiplus::GpPen
#define FLAT_METHODS_HANDLE penHandle_
#include "graphics/flat_methods.inc"

 protected:
  void OnHandleSet(void* h) override { penHandle_ = static_cast<Gdiplus::GpPen*>(h); }

 private:
  Gdiplus::GpPen* penHandle_ = nullptr;
};

// What the three brushes share; Delete, clone and type work on brushHandle, each kind's own
// methods on its ownHandle. SetHandle keeps handle, brushHandle and ownHandle equal.
class Brush : public GdiPlusObject {
 public:
  ~Brush() override { Delete(); }

  bool Delete();
  bool Clone(Brush& target) const;
  // GDI+ brush type (0 solid, 4 linear gradient, 3 path gradient); -1 when it cannot be read.
  int32_t GetType() const;

  Gdiplus::GpBrush* BrushHandle() const { return brushHandle_; }

#define FLAT_METHODS_NATIVE Gdiplus::GpBrush
#define FLAT_METHODS_HANDLE brushHandle_
#include "graphics/flat_methods.inc"

 protected:
  Brush() = default;
  void OnHandleSet(void* h) override {
    brushHandle_ = static_cast<Gdiplus::GpBrush*>(h);
    OnBrushHandleSet(h);
  }
  // Each kind stores h in its own field. Each kind's destructor deletes, so that the handle is 0
  // by the time this class's destructor runs.
  virtual void OnBrushHandleSet(void* /*h*/) {}

 private:
  Gdiplus::GpBrush* brushHandle_ = nullptr;
};

class SolidBrush : public Brush {
 public:
  ~SolidBrush() override { Delete(); }

  bool Create(Gdiplus::ARGB colour);
  bool SetColor(Gdiplus::ARGB colour);
  // 0 when it cannot be read.
  Gdiplus::ARGB GetColor() const;

  Gdiplus::GpSolidFill* OwnHandle() const { return ownHandle_; }

#define FLAT_METHODS_BASE Brush
#include "graphics/flat_methods_using.inc"
#define FLAT_METHODS_NATIVE Gdiplus::GpSolidFill
#define FLAT_METHODS_HANDLE ownHandle_
#include "graphics/flat_methods.inc"

 protected:
  void OnBrushHandleSet(void* h) override { ownHandle_ = static_cast<Gdiplus::GpSolidFill*>(h); }

 private:
  Gdiplus::GpSolidFill* ownHandle_ = nullptr;
};

class LinearGradientBrush : public Brush {
 public:
  ~LinearGradientBrush() override { Delete(); }

  // From the start colour at `start` to the end colour at `end`, wrap mode tile (0).
  bool Create(const Gdiplus::PointF& start, const Gdiplus::PointF& end, Gdiplus::ARGB startColour,
              Gdiplus::ARGB endColour);
  // As many stops as there are colours; there must be a position for each of them.
  bool SetPresetBlend(std::span<const Gdiplus::ARGB> colours, std::span<const float> positions);
  bool SetLinearBlend(float focus, float scale);

  Gdiplus::GpLineGradient* OwnHandle() const { return ownHandle_; }

#define FLAT_METHODS_BASE Brush
#include "graphics/flat_methods_using.inc"
#define FLAT_METHODS_NATIVE Gdiplus::GpLineGradient
#define FLAT_METHODS_HANDLE ownHandle_
#include "graphics/flat_methods.inc"

 protected:
  void OnBrushHandleSet(void* h) override { ownHandle_ = static_cast<Gdiplus::GpLineGradient*>(h); }

 private:
  Gdiplus::GpLineGradient* ownHandle_ = nullptr;
};

class PathGradientBrush : public Brush {
 public:
  ~PathGradientBrush() override { Delete(); }

  bool CreateFromPath(const GraphicsPath& path);
  // Over the polygon of the points; wrap mode clamp (4) when not given.
  bool CreateFromPoints(std::span<const Gdiplus::PointF> points, OptionalArg<Gdiplus::WrapMode> wrapMode = {});
  bool SetCenterColor(Gdiplus::ARGB colour);
  // The count travels by address: when `count` is null the number of colours is used, otherwise
  // *count (at most the number of colours) is passed and receives what GDI+ leaves there.
  bool SetSurroundColors(std::span<const Gdiplus::ARGB> colours, int32_t* count = nullptr);

  Gdiplus::GpPathGradient* OwnHandle() const { return ownHandle_; }

#define FLAT_METHODS_BASE Brush
#include "graphics/flat_methods_using.inc"
#define FLAT_METHODS_NATIVE Gdiplus::GpPathGradient
#define FLAT_METHODS_HANDLE ownHandle_
#include "graphics/flat_methods.inc"

 protected:
  void OnBrushHandleSet(void* h) override { ownHandle_ = static_cast<Gdiplus::GpPathGradient*>(h); }

 private:
  Gdiplus::GpPathGradient* ownHandle_ = nullptr;
};
