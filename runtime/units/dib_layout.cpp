// BMP files read through their own headers; every size they state is checked against the bytes
// there are before any of it is read.
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

// Header sizes taken: BITMAPINFOHEADER, its two extensions that add the colour masks (52) and the
// alpha mask (56), BITMAPV4HEADER and BITMAPV5HEADER. OS/2's 64-byte header keeps other fields
// after the first 40 bytes and is refused with every other size.
constexpr uint32_t kHeaderSizes[] = {40, 52, 56, 108, 124};

bool KnownHeaderSize(uint32_t size) {
  for (const uint32_t known : kHeaderSizes)
    if (size == known) return true;
  return false;
}

void Append(std::vector<unsigned char>& to, std::span<const unsigned char> bytes) {
  to.insert(to.end(), bytes.begin(), bytes.end());
}

}  // namespace

// Offsets and sizes are worked out in 64 bits, so that no header value can make them wrap in a
// 32-bit build. The BITMAPINFO handed on is made here, with a 40-byte header whatever the file's,
// so that what the system reads from it is what this reader checked.
std::optional<BmpLayout> ReadBmpFile(std::span<const unsigned char> bytes) {
  BmpFileHeader file{};
  DibHeader header{};
  if (!ReadAt(bytes, 0, file) || file.type != 0x4D42 || !ReadAt(bytes, sizeof file, header)) return {};
  const int64_t width = header.width;
  const int64_t height = header.height < 0 ? -int64_t{header.height} : header.height;
  const int bitCount = header.bitCount;
  const bool bitFields = header.compression == kDibBitFields;
  const bool knownDepth = bitFields ? bitCount == 16 || bitCount == 32 : KnownDibDepth(bitCount);
  if (!KnownHeaderSize(header.size) || width <= 0 || height <= 0 || width * height > kMaxPicturePixels ||
      header.planes != 1 || (header.compression != kDibRgb && !bitFields) || !knownDepth)
    return {};
  const uint64_t indexable = bitCount <= 8 ? uint64_t{1} << bitCount : 0;
  const uint64_t colours = bitCount <= 8 && header.coloursUsed ? header.coloursUsed : indexable;
  if (colours > indexable) return {};
  // The masks follow a 40-byte header; a longer one holds them at the same place, bytes 40 to 51.
  const uint64_t masksAt = sizeof file + sizeof header;
  const uint64_t headerEnd = sizeof file + uint64_t{header.size};
  const uint64_t tableAt = bitFields && header.size == sizeof header ? headerEnd + 12 : headerEnd;
  const uint64_t tableEnd = tableAt + colours * 4;
  const uint64_t pixelBytes = static_cast<uint64_t>(DibStride(width, bitCount) * height);
  if (tableEnd > bytes.size() || file.pixelOffset < tableEnd || file.pixelOffset > bytes.size() ||
      pixelBytes > bytes.size() - file.pixelOffset)
    return {};

  DibHeader own{};
  own.size = sizeof own;
  own.width = header.width;
  own.height = header.height;
  own.planes = 1;
  own.bitCount = header.bitCount;
  own.compression = header.compression;
  own.coloursUsed = static_cast<uint32_t>(colours);
  BmpLayout layout;
  layout.info.resize(sizeof own);
  std::memcpy(layout.info.data(), &own, sizeof own);
  if (bitFields) Append(layout.info, bytes.subspan(masksAt, 12));
  Append(layout.info, bytes.subspan(static_cast<size_t>(tableAt), static_cast<size_t>(colours * 4)));
  layout.pixels = bytes.subspan(file.pixelOffset, static_cast<size_t>(pixelBytes));
  return layout;
}
