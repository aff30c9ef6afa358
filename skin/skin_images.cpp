// The skin's images: the average colour of a picture, and a picture prepared for its placement.
#include <cmath>

#include "graphics/drawing_surface.h"
#include "graphics/paths_pens_brushes.h"
#include "runtime/commands/commands.h"
#include "runtime/value_helpers.h"
#include "skin/skin_engine.h"

namespace {

constexpr int32_t kSamples = 2000;

bool LoadBitmap(Bitmap& bitmap, TextValue path, ByteBlock bytes) {
  if (path && *path) return bitmap.LoadFromFile(path);
  return bitmap.LoadFromBytes(bytes);
}

}  // namespace

Gdiplus::ARGB AverageImageColour(TextValue path, ByteBlock bytes) {
  Bitmap bitmap;
  if (!LoadBitmap(bitmap, path, bytes)) return ArgbFromColorRef(0);
  const int32_t width = static_cast<int32_t>(bitmap.GetWidth());
  const int32_t height = static_cast<int32_t>(bitmap.GetHeight());
  if (width <= 0 || height <= 0) return ArgbFromColorRef(0);
  // The seeds depend on the day only, so every call of one calendar day samples the same places.
  const double now = Commands::Now();
  int64_t red = 0, green = 0, blue = 0;
  for (int32_t i = 1; i <= kSamples; ++i) {
    Commands::SeedRandom(static_cast<int32_t>(std::floor(now + 3.0 * i)));
    const int32_t x = Commands::Random(1, width);
    Commands::SeedRandom(static_cast<int32_t>(std::floor(now + i)));
    const int32_t y = Commands::Random(1, height);
    // Positions run 1..width and 1..height, one past the last pixel at the far end: such a
    // sample reads the edge pixel instead, so that a one-pixel image averages to its own colour.
    const Gdiplus::ARGB pixel = bitmap.GetPixel(std::min(x, width - 1), std::min(y, height - 1));
    red += (pixel >> 16) & 0xFF;
    green += (pixel >> 8) & 0xFF;
    blue += pixel & 0xFF;
  }
  const int32_t colour = Commands::MakeColor(static_cast<int32_t>(red / kSamples),
                                             static_cast<int32_t>(green / kSamples),
                                             static_cast<int32_t>(blue / kSamples));
  return ArgbFromColorRef(static_cast<uint32_t>(colour));
}

OwnedBytes PrepareSkinImage(TextValue path, ByteBlock bytes, int32_t mode, Gdiplus::ARGB fadeColour) {
  const bool fromFile = path && *path;
  if (mode != kImageTopLeft && mode != kImageTopRight) {
    if (!fromFile) {
      if (ByteBlockLengthOf(bytes) <= 0) return {};
      return NewByteBlock(std::span(ByteBlockData(bytes), static_cast<size_t>(ByteBlockLengthOf(bytes))));
    }
    Image image;
    if (!image.LoadFromFile(path)) return {};
    return image.SaveToBytes(OptionalArg<TextValue>(kPngFormat));
  }
  Bitmap source;
  if (!LoadBitmap(source, path, bytes)) return {};
  const float width = static_cast<float>(source.GetWidth());
  const float height = static_cast<float>(source.GetHeight());
  Bitmap faded;
  if (!faded.Create(static_cast<int32_t>(width), static_cast<int32_t>(height))) return {};
  {
    Graphics graphics;
    if (!graphics.CreateFromImage(faded)) return {};
    graphics.DrawImageRect(source, 0, 0, width, height);
    // The edge that meets the rest of the window fades into the colour under the image: the
    // right quarter of an image placed top-left, the left quarter of one placed top-right.
    const float band = std::max(1.0f, width / 4);
    const Gdiplus::ARGB clear = fadeColour & 0x00FFFFFF;
    const Gdiplus::ARGB solid = fadeColour | 0xFF000000;
    const bool fadeRight = mode == kImageTopLeft;
    const float bandLeft = fadeRight ? width - band : 0;
    LinearGradientBrush brush;
    const Gdiplus::PointF from(fadeRight ? bandLeft : band, 0), to(fadeRight ? width : 0, 0);
    if (!brush.Create(from, to, clear, solid)) return {};
    graphics.FillRectangle(brush, bandLeft, 0, band, height);
  }
  return faded.SaveToBytes(OptionalArg<TextValue>(kPngFormat));
}
