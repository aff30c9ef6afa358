// Where the parts of a device-independent bitmap lie in a BMP file, read without the Windows
// headers so that the checks also run natively (tests, fuzzing).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// BITMAPINFOHEADER, field for field.
#pragma pack(push, 1)
struct DibHeader {
  uint32_t size;
  int32_t width, height;
  uint16_t planes, bitCount;
  uint32_t compression, imageSize;
  int32_t xPelsPerMeter, yPelsPerMeter;
  uint32_t coloursUsed, coloursImportant;
};
#pragma pack(pop)
static_assert(sizeof(DibHeader) == 40);

constexpr uint32_t kDibRgb = 0, kDibBitFields = 3;  // BI_RGB, BI_BITFIELDS

// The depths of an uncompressed DIB.
constexpr bool KnownDibDepth(int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Bytes in one row of pixels, rows padded to 32 bits.
constexpr int64_t DibStride(int64_t width, int64_t bitCount) { return (width * bitCount + 31) / 32 * 4; }

// A BMP file's bitmap as CreateDIBSection takes it: `info` is a BITMAPINFO made from the file's
// headers (a 40-byte header, then the three masks or the colour table), `pixels` the file's rows,
// exactly as many bytes as the header's rows take.
struct BmpLayout {
  std::vector<unsigned char> info;
  std::span<const unsigned char> pixels;
};

// Nothing for bytes that are no uncompressed (or bit-field) BMP file or do not hold what its
// headers promise.
std::optional<BmpLayout> ReadBmpFile(std::span<const unsigned char> file);
