// Rounded rectangles as arcs and lines of a GDI+ path.
#include "skin/shapes.h"

#include <algorithm>

bool AddRoundedRectangle(GraphicsPath& path, float x, float y, float width, float height, CornerRadii radii) {
  if (width <= 0 || height <= 0) return false;
  // A corner never takes more than half of either side.
  const float limit = std::min(width, height) / 2;
  auto clamp = [limit](float r) { return std::clamp(r, 0.0f, limit); };
  const float tl = clamp(radii.topLeft), tr = clamp(radii.topRight);
  const float br = clamp(radii.bottomRight), bl = clamp(radii.bottomLeft);
  const float right = x + width, bottom = y + height;
  if (tl > 0)
    path.AddArc(x, y, 2 * tl, 2 * tl, 180, 90);
  else
    path.AddLine(x, y, x, y);
  if (tr > 0)
    path.AddArc(right - 2 * tr, y, 2 * tr, 2 * tr, 270, 90);
  else
    path.AddLine(right, y, right, y);
  if (br > 0)
    path.AddArc(right - 2 * br, bottom - 2 * br, 2 * br, 2 * br, 0, 90);
  else
    path.AddLine(right, bottom, right, bottom);
  if (bl > 0)
    path.AddArc(x, bottom - 2 * bl, 2 * bl, 2 * bl, 90, 90);
  else
    path.AddLine(x, bottom, x, bottom);
  return path.CloseFigure();
}
