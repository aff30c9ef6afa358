// BMP files read through their own headers; every size they state is checked against the bytes
// there are.
#include "runtime/units/dib_layout.h"

#include <cstring>

#include "runtime/units/jpeg_decoder.h"

namespace {

#pragma pack(push, 1)
struct BmpFileHeader {  // BITMAPFILEHEADER
  uint16_t type;
  uint32_t size;
  uint16_t reserved1, reserved2;
  uint32_t pixelOffset;
};
#pragma pack(pop)
static_assert(sizeof(BmpFileHeader) == 14);

template <class T>
bool ReadAt(std::span<const unsigned char> bytes, size_t offset, T& value) {
  if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) return false;
  std::memcpy(&value, bytes.data() + offset, sizeof(T));
  return true;
}

}  // namespace

std::optional<BmpLayout> ReadBmpFile(std::span<const unsigned char> bytes) {
  BmpFileHeader file{};
  DibHeader header{};
  if (!ReadAt(bytes, 0, file) || file.type != 0x4D42 || !ReadAt(bytes, sizeof file, header)) return {};
  const int64_t width = header.width;
  const int64_t height = header.height < 0 ? -int64_t{header.height} : header.height;
  const int bitCount = header.bitCount;
  const bool knownDepth = bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
                          bitCount == 32;
  const bool bitFields = header.compression == kDibBitFields && (bitCount == 16 || bitCount == 32);
  if (header.size < sizeof header || width <= 0 || height <= 0 || width * height > kMaxPicturePixels ||
      header.planes != 1 || !knownDepth || (header.compression != kDibRgb && !bitFields))
    return {};
  const int64_t maxColours = bitCount <= 8 ? (int64_t{1} << bitCount) : 0;
  const int64_t colours = header.coloursUsed ? header.coloursUsed : maxColours;
  if (colours > 256) return {};
  // The header as the file has it, followed by the masks (for bit fields) and the colour table.
  const size_t masks = bitFields && header.size == sizeof header ? 3 * sizeof(uint32_t) : 0;
  const size_t infoSize = header.size + masks + static_cast<size_t>(colours) * 4;
  const size_t infoStart = sizeof file;
  const int64_t imageSize = DibStride(width, bitCount) * height;
  if (infoSize > bytes.size() - infoStart || file.pixelOffset > bytes.size() ||
      imageSize > static_cast<int64_t>(bytes.size() - file.pixelOffset))
    return {};
  BmpLayout layout;
  layout.info.assign(bytes.begin() + infoStart, bytes.begin() + infoStart + infoSize);
  layout.pixels = bytes.subspan(file.pixelOffset, static_cast<size_t>(imageSize));
  return layout;
}
