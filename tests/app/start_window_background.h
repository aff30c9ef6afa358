// What the start window's client area shows before anything is drawn over it: the built-in
// background stretched over it as the skin draws it. For tests that tell the tool's own ink from
// the background.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/drawing_surface.h"
#include "graphics/images.h"
#include "resources/embedded_pictures.h"
#include "tests/app/start_window_layout.h"
#include "tests/app/window_pixels.h"

// The stretched background over a client area of the given size; empty when GDI+ cannot draw it.
inline PixelGrid StretchedBackground(int width = kStartWindowWidth, int height = kStartWindowHeight) {
  Image background;
  Bitmap canvas;
  Graphics graphics;
  if (!background.LoadFromBytes(SkinBackgroundJpeg) || !canvas.Create(width, height) ||
      !graphics.CreateFromImage(canvas))
    return {};
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBilinear);
  graphics.DrawImageRect(background, 0, 0, static_cast<float>(width), static_cast<float>(height));
  PixelGrid grid{{}, width};
  grid.pixels.reserve(static_cast<size_t>(width * height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) grid.pixels.push_back(canvas.GetPixel(x, y) & 0xFFFFFF);
  return grid;
}
