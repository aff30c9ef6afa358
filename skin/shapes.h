// Shapes the skin fills and outlines: rectangles with rounded corners of given radii in pixels.
#pragma once

#include "graphics/paths_pens_brushes.h"

struct CornerRadii {
  float topLeft = 0, topRight = 0, bottomRight = 0, bottomLeft = 0;
};

// Clockwise from the top-left corner; a radius of 0 makes a square corner. The figure is closed.
bool AddRoundedRectangle(GraphicsPath& path, float x, float y, float width, float height, CornerRadii radii);

inline CornerRadii AllCorners(float radius) { return {radius, radius, radius, radius}; }

// A rectangle of the system's as the float rectangle GDI+ draws in.
inline Gdiplus::RectF RectFOf(const RECT& rect) {
  return Gdiplus::RectF(static_cast<float>(rect.left), static_cast<float>(rect.top),
                        static_cast<float>(rect.right - rect.left), static_cast<float>(rect.bottom - rect.top));
}
