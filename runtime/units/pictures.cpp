// Turning a unit's picture bytes into bitmaps: JPEG through libjpeg, BMP files through the
// checked layout of dib_layout, plain PNG files through the runtime's own decoder, the rest
// through GDI+.
#include "runtime/units/pictures.h"

#include <cstring>
#include <optional>
#include <utility>

#include "runtime/units/dib_layout.h"
#include "runtime/units/jpeg_decoder.h"
#include "runtime/units/png_decoder.h"

namespace {

OwnedBitmap DibSection(const BITMAPINFO& info, void*& bits) {
  bits = nullptr;
  return OwnedBitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
}

// A 32-bit DIB section of the pixels, top-down as decoded.
OwnedBitmap TopDownBitmap(int32_t width, int32_t height, const std::vector<uint32_t>& pixels) {
  const BITMAPINFO info = TopDownDibInfo(width, height);
  void* bits = nullptr;
  OwnedBitmap bitmap = DibSection(info, bits);
  if (bitmap) std::memcpy(bits, pixels.data(), pixels.size() * sizeof(uint32_t));
  return bitmap;
}

OwnedBitmap BitmapOfJpeg(std::span<const unsigned char> bytes) {
  const std::optional<DecodedPicture> picture = DecodeJpeg(bytes);
  return picture ? TopDownBitmap(picture->width, picture->height, picture->pixels) : OwnedBitmap();
}

// A straight ARGB pixel over an opaque 0x00RRGGBB background, as GDI+'s
// GdipCreateHBITMAPFromBitmap composes it (measured under Wine 8.0 for every alpha over several
// backgrounds, black among them): colour times alpha and background times the rest, each rounded
// to the nearest on its own and then added; the alpha byte stays; opaque pixels are left alone.
uint32_t Over(uint32_t argb, uint32_t background) {
  const uint32_t alpha = argb >> 24;
  if (alpha == 255) return argb;
  uint32_t composed = alpha << 24;
  for (const int shift : {0, 8, 16}) {
    const uint32_t colour = (argb >> shift) & 0xFF, ground = (background >> shift) & 0xFF;
    composed |= ((colour * alpha + 127) / 255 + (ground * (255 - alpha) + 127) / 255) << shift;
  }
  return composed;
}

OwnedBitmap BitmapOfPng(StraightArgbPicture picture, COLORREF background) {
  const uint32_t ground = uint32_t{GetRValue(background)} << 16 | uint32_t{GetGValue(background)} << 8 | GetBValue(background);
  for (uint32_t& pixel : picture.pixels) pixel = Over(pixel, ground);
  return TopDownBitmap(picture.width, picture.height, picture.pixels);
}

// An uncompressed (or bit-field) BMP file, its headers checked by ReadBmpFile.
OwnedBitmap BitmapOfBmp(std::span<const unsigned char> bytes) {
  const std::optional<BmpLayout> layout = ReadBmpFile(bytes);
  if (!layout) return {};
  void* bits = nullptr;
  // The BITMAPINFO is held in aligned memory of its own; it may not be read in place.
  OwnedBitmap bitmap = DibSection(*reinterpret_cast<const BITMAPINFO*>(layout->info.data()), bits);
  if (bitmap) std::memcpy(bits, layout->pixels.data(), layout->pixels.size());
  return bitmap;
}

bool LooksLikeBmp(std::span<const unsigned char> bytes) { return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M'; }

std::vector<PictureFrame> OneFrame(OwnedBitmap bitmap) {
  std::vector<PictureFrame> frames;
  if (bitmap) frames.push_back({std::move(bitmap), 0});
  return frames;
}

}  // namespace

std::vector<PictureFrame> PictureFrames(std::span<const unsigned char> bytes, COLORREF background) {
  if (LooksLikeJpeg(bytes)) return OneFrame(BitmapOfJpeg(bytes));
  if (LooksLikeBmp(bytes)) return OneFrame(BitmapOfBmp(bytes));
  // A PNG the decoder does not take (a palette, 16 bits, interlacing ...) still goes to GDI+.
  if (LooksLikePng(bytes))
    if (std::optional<StraightArgbPicture> picture = DecodePng(bytes))
      return OneFrame(BitmapOfPng(std::move(*picture), background));
  return DecodeWithGdiPlus(bytes, background);
}

OwnedBitmap PictureBitmap(std::span<const unsigned char> bytes) {
  std::vector<PictureFrame> frames = PictureFrames(bytes, GetSysColor(COLOR_BTNFACE));
  return frames.empty() ? OwnedBitmap() : std::move(frames.front().bitmap);
}

BITMAPINFO TopDownDibInfo(int32_t width, int32_t height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP description{};
  if (!bitmap || !GetObjectA(bitmap, sizeof description, &description)) return {0, 0};
  return {description.bmWidth, description.bmHeight};
}
