// What the start window's client area shows before anything is drawn over it: the built-in
// background stretched over it as the skin draws it. For tests that tell the tool's own ink from
// the background.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/drawing_surface.h"
#include "graphics/images.h"
#include "resources/embedded_pictures.h"

// The start window's client area, in pixels.
inline constexpr int kStartWindowWidth = 361, kStartWindowHeight = 318;

// The stretched background, row by row, 0x00RRGGBB; empty when GDI+ cannot draw it.
inline std::vector<uint32_t> StretchedBackground() {
  Image background;
  Bitmap canvas;
  Graphics graphics;
  if (!background.LoadFromBytes(SkinBackgroundJpeg) || !canvas.Create(kStartWindowWidth, kStartWindowHeight) ||
      !graphics.CreateFromImage(canvas))
    return {};
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBilinear);
  graphics.DrawImageRect(background, 0, 0, kStartWindowWidth, kStartWindowHeight);
  std::vector<uint32_t> pixels;
  pixels.reserve(static_cast<size_t>(kStartWindowWidth * kStartWindowHeight));
  for (int y = 0; y < kStartWindowHeight; ++y)
    for (int x = 0; x < kStartWindowWidth; ++x) pixels.push_back(canvas.GetPixel(x, y) & 0xFFFFFF);
  return pixels;
}
