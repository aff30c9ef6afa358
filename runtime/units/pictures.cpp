// Turning a unit's picture bytes into bitmaps. BMP files are read through their own headers;
// every size they state is checked against the bytes there are.
#include "runtime/units/pictures.h"

#include <cstring>
#include <optional>
#include <utility>

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

template <class T>
bool ReadAt(std::span<const unsigned char> bytes, size_t offset, T& value) {
  if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) return false;
  std::memcpy(&value, bytes.data() + offset, sizeof(T));
  return true;
}

// An uncompressed (or bit-field) BMP file with a header of at least BITMAPINFOHEADER's size.
OwnedBitmap BitmapOfBmp(std::span<const unsigned char> bytes) {
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER header{};
  if (!ReadAt(bytes, 0, file) || file.bfType != 0x4D42 || !ReadAt(bytes, sizeof file, header)) return {};
  const int64_t width = header.biWidth;
  const int64_t height = header.biHeight < 0 ? -int64_t{header.biHeight} : header.biHeight;
  const int bitCount = header.biBitCount;
  const bool knownDepth = bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
                          bitCount == 32;
  const bool bitFields = header.biCompression == BI_BITFIELDS && (bitCount == 16 || bitCount == 32);
  if (header.biSize < sizeof header || width <= 0 || height <= 0 || width * height > kMaxPicturePixels ||
      header.biPlanes != 1 || !knownDepth || (header.biCompression != BI_RGB && !bitFields))
    return {};
  const int64_t maxColours = bitCount <= 8 ? (int64_t{1} << bitCount) : 0;
  const int64_t colours = header.biClrUsed ? header.biClrUsed : maxColours;
  if (colours > 256) return {};
  // The header as the file has it, followed by the masks (for bit fields) and the colour table.
  const size_t masks = bitFields && header.biSize == sizeof header ? 3 * sizeof(DWORD) : 0;
  const size_t infoSize = header.biSize + masks + static_cast<size_t>(colours) * sizeof(RGBQUAD);
  const size_t infoStart = sizeof file;
  const int64_t stride = ((width * bitCount + 31) / 32) * 4;
  const int64_t imageSize = stride * height;
  if (infoSize > bytes.size() - infoStart || file.bfOffBits > bytes.size() ||
      imageSize > static_cast<int64_t>(bytes.size() - file.bfOffBits))
    return {};
  // The header is copied to aligned memory; BITMAPINFO may not be read in place.
  std::vector<unsigned char> info(bytes.begin() + infoStart, bytes.begin() + infoStart + infoSize);
  void* bits = nullptr;
  OwnedBitmap bitmap = DibSection(*reinterpret_cast<const BITMAPINFO*>(info.data()), bits);
  if (bitmap) std::memcpy(bits, bytes.data() + file.bfOffBits, static_cast<size_t>(imageSize));
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
