// Turning a unit's picture bytes into bitmaps: JPEG through libjpeg, BMP files through the
// checked layout of dib_layout, the rest through GDI+.
#include "runtime/units/pictures.h"

#include <cstring>
#include <optional>
#include <utility>

#include "runtime/units/dib_layout.h"
#include "runtime/units/jpeg_decoder.h"

namespace {

OwnedBitmap DibSection(const BITMAPINFO& info, void*& bits) {
  bits = nullptr;
  return OwnedBitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
}

OwnedBitmap BitmapOfJpeg(std::span<const unsigned char> bytes) {
  std::optional<DecodedPicture> picture = DecodeJpeg(bytes);
  if (!picture) return {};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = picture->width;
  info.bmiHeader.biHeight = -picture->height;  // top-down, as decoded
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  OwnedBitmap bitmap = DibSection(info, bits);
  if (bitmap) std::memcpy(bits, picture->pixels.data(), picture->pixels.size() * sizeof(uint32_t));
  return bitmap;
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
  return DecodeWithGdiPlus(bytes, background);
}

OwnedBitmap PictureBitmap(std::span<const unsigned char> bytes) {
  std::vector<PictureFrame> frames = PictureFrames(bytes, GetSysColor(COLOR_BTNFACE));
  return frames.empty() ? OwnedBitmap() : std::move(frames.front().bitmap);
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP description{};
  if (!bitmap || !GetObjectA(bitmap, sizeof description, &description)) return {0, 0};
  return {description.bmWidth, description.bmHeight};
}
