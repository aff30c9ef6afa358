// PNG decoding: the chunks walked with a cursor and an end and their CRCs checked, the image
// data joined and inflated to exactly the size the header promises, the rows unfiltered in place
// and widened to ARGB words.
#include "runtime/units/png_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "runtime/units/inflate.h"

namespace {

constexpr std::array<unsigned char, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

constexpr std::array<uint32_t, 256> kCrcTable = [] {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}();

uint32_t Crc32(std::span<const unsigned char> bytes) {
  uint32_t c = 0xFFFFFFFFu;
  for (const unsigned char b : bytes) c = kCrcTable[(c ^ b) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

uint32_t BigEndian32(const unsigned char* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

constexpr uint32_t ChunkType(const char (&name)[5]) {
  return uint32_t(uint8_t(name[0])) << 24 | uint32_t(uint8_t(name[1])) << 16 | uint32_t(uint8_t(name[2])) << 8 |
         uint8_t(name[3]);
}
constexpr uint32_t kHeader = ChunkType("IHDR"), kPalette = ChunkType("PLTE"), kData = ChunkType("IDAT"),
                   kEnd = ChunkType("IEND"), kTransparency = ChunkType("tRNS");

// A chunk whose type starts with a capital letter must be understood to show the picture.
constexpr bool IsCritical(uint32_t type) { return (type & 0x20000000u) == 0; }

struct Chunk {
  uint32_t type = 0;
  std::span<const unsigned char> data;
};

// Length, type, data, CRC; a chunk that runs past the end or fails its CRC ends the walk.
class ChunkReader {
 public:
  explicit ChunkReader(std::span<const unsigned char> bytes) : cursor_(bytes.data()), end_(bytes.data() + bytes.size()) {}

  bool Next(Chunk& chunk) {
    const size_t left = static_cast<size_t>(end_ - cursor_);
    if (left < 12) return false;
    const uint32_t length = BigEndian32(cursor_);
    if (length > 0x7FFFFFFFu || length > left - 12) return false;
    if (Crc32({cursor_ + 4, size_t{length} + 4}) != BigEndian32(cursor_ + 8 + length)) return false;
    chunk.type = BigEndian32(cursor_ + 4);
    chunk.data = {cursor_ + 8, length};
    cursor_ += size_t{length} + 12;
    return true;
  }

 private:
  const unsigned char* cursor_;
  const unsigned char* end_;
};

// Bytes a pixel takes at 8 bits a sample, by colour type; 0 for the types not decoded here
// (3, palette) and for undefined ones.
unsigned ChannelsOf(uint8_t colourType) {
  switch (colourType) {
    case 0: return 1;  // grey
    case 2: return 3;  // RGB
    case 4: return 2;  // grey, alpha
    case 6: return 4;  // RGBA
    default: return 0;
  }
}

struct Header {
  uint32_t width = 0, height = 0;
  unsigned channels = 0;
};

std::optional<Header> ReadHeader(const Chunk& chunk) {
  if (chunk.type != kHeader || chunk.data.size() != 13) return std::nullopt;
  const unsigned char* d = chunk.data.data();
  Header header{BigEndian32(d), BigEndian32(d + 4), ChannelsOf(d[9])};
  const bool plain = d[8] == 8 && header.channels != 0 && d[10] == 0 && d[11] == 0 && d[12] == 0;
  if (!plain || header.width == 0 || header.height == 0 || header.width > 0x7FFFFFFFu || header.height > 0x7FFFFFFFu)
    return std::nullopt;
  if (uint64_t{header.width} * header.height > static_cast<uint64_t>(kMaxPicturePixels)) return std::nullopt;
  return header;
}

// The joined data of the IDAT chunks, which must follow one another, up to IEND. Nothing for a
// colour key (tRNS), a palette with a grey picture, or another critical chunk not known here;
// a palette beside RGB samples is only a suggestion and is skipped with the ancillary chunks.
std::optional<std::vector<unsigned char>> ImageData(ChunkReader& chunks, const Header& header) {
  enum { kBefore, kWithin, kAfter } place = kBefore;
  std::vector<unsigned char> joined;
  for (Chunk chunk; chunks.Next(chunk);) {
    if (chunk.type == kEnd) return place == kBefore ? std::nullopt : std::optional(std::move(joined));
    if (chunk.type == kData) {
      if (place == kAfter) return std::nullopt;
      place = kWithin;
      joined.insert(joined.end(), chunk.data.begin(), chunk.data.end());
      continue;
    }
    if (place == kWithin) place = kAfter;
    if (chunk.type == kTransparency) return std::nullopt;
    if (chunk.type == kPalette && place == kBefore && header.channels >= 3) continue;
    if (IsCritical(chunk.type)) return std::nullopt;
  }
  return std::nullopt;
}

unsigned char Paeth(int left, int up, int upLeft) {
  const int estimate = left + up - upLeft;
  const int toLeft = estimate > left ? estimate - left : left - estimate;
  const int toUp = estimate > up ? estimate - up : up - estimate;
  const int toUpLeft = estimate > upLeft ? estimate - upLeft : upLeft - estimate;
  if (toLeft <= toUp && toLeft <= toUpLeft) return static_cast<unsigned char>(left);
  return static_cast<unsigned char>(toUp <= toUpLeft ? up : upLeft);
}

// Undoes each row's filter in place; rows are a filter byte, then `rowBytes` bytes. The row above
// the first and the pixel left of each row's first count as zeros. The first pixel of a row is
// done apart so that the loops over the rest test nothing per byte.
bool Unfilter(std::vector<unsigned char>& data, size_t rowBytes, size_t height, size_t step) {
  const std::vector<unsigned char> zeros(rowBytes, 0);
  const unsigned char* up = zeros.data();
  const size_t first = std::min(step, rowBytes);
  for (size_t y = 0; y < height; ++y) {
    unsigned char* line = data.data() + y * (rowBytes + 1) + 1;
    switch (line[-1]) {
      case 0: break;
      case 1:
        for (size_t i = step; i < rowBytes; ++i) line[i] = static_cast<unsigned char>(line[i] + line[i - step]);
        break;
      case 2:
        for (size_t i = 0; i < rowBytes; ++i) line[i] = static_cast<unsigned char>(line[i] + up[i]);
        break;
      case 3:
        for (size_t i = 0; i < first; ++i) line[i] = static_cast<unsigned char>(line[i] + (up[i] >> 1));
        for (size_t i = first; i < rowBytes; ++i)
          line[i] = static_cast<unsigned char>(line[i] + ((unsigned{line[i - step]} + up[i]) >> 1));
        break;
      case 4:
        for (size_t i = 0; i < first; ++i) line[i] = static_cast<unsigned char>(line[i] + up[i]);  // Paeth of 0, up, 0
        for (size_t i = first; i < rowBytes; ++i)
          line[i] = static_cast<unsigned char>(line[i] + Paeth(line[i - step], up[i], up[i - step]));
        break;
      default: return false;
    }
    up = line;
  }
  return true;
}

uint32_t Argb(unsigned a, unsigned r, unsigned g, unsigned b) { return uint32_t(a) << 24 | r << 16 | g << 8 | b; }

// One unfiltered row of samples widened to ARGB words.
void Widen(const unsigned char* s, size_t width, size_t channels, uint32_t* out) {
  switch (channels) {
    case 1:
      for (size_t x = 0; x < width; ++x, s += 1) out[x] = Argb(255, s[0], s[0], s[0]);
      break;
    case 2:
      for (size_t x = 0; x < width; ++x, s += 2) out[x] = Argb(s[1], s[0], s[0], s[0]);
      break;
    case 3:
      for (size_t x = 0; x < width; ++x, s += 3) out[x] = Argb(255, s[0], s[1], s[2]);
      break;
    default:
      for (size_t x = 0; x < width; ++x, s += 4) out[x] = Argb(s[3], s[0], s[1], s[2]);
      break;
  }
}

}  // namespace

bool LooksLikePng(std::span<const unsigned char> bytes) {
  return bytes.size() >= kSignature.size() && std::memcmp(bytes.data(), kSignature.data(), kSignature.size()) == 0;
}

std::optional<StraightArgbPicture> DecodePng(std::span<const unsigned char> bytes) {
  if (!LooksLikePng(bytes)) return std::nullopt;
  ChunkReader chunks(bytes.subspan(kSignature.size()));
  Chunk first;
  if (!chunks.Next(first)) return std::nullopt;
  const std::optional<Header> header = ReadHeader(first);
  if (!header) return std::nullopt;
  const std::optional<std::vector<unsigned char>> compressed = ImageData(chunks, *header);
  if (!compressed) return std::nullopt;

  // At most kMaxPicturePixels (2^26) pixels of 4 bytes and a filter byte a row: under 2^29
  // bytes, so the sizes below fit a 32-bit size_t.
  const size_t width = header->width, height = header->height, channels = header->channels;
  const size_t rowBytes = width * channels;
  std::optional<std::vector<unsigned char>> data = InflateZlib(*compressed, (rowBytes + 1) * height);
  if (!data || !Unfilter(*data, rowBytes, height, header->channels)) return std::nullopt;

  StraightArgbPicture picture;
  picture.width = static_cast<int32_t>(width);
  picture.height = static_cast<int32_t>(height);
  picture.pixels.resize(width * height);
  for (size_t y = 0; y < height; ++y)
    Widen(data->data() + y * (rowBytes + 1) + 1, width, channels, picture.pixels.data() + y * width);
  return picture;
}
