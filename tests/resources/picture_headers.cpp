// Structure readers for PNG, JPEG and ICO files: chunks, segments and directory entries are walked
// with a cursor that never reads past the end; anything malformed is reported, not skipped.
#include "tests/resources/picture_headers.h"

#include <cstring>

namespace {

using Bytes = std::span<const unsigned char>;

class Cursor {
 public:
  explicit Cursor(Bytes bytes) : at_(bytes.data()), start_(bytes.data()), end_(bytes.data() + bytes.size()) {}

  size_t Left() const { return static_cast<size_t>(end_ - at_); }
  size_t Offset() const { return static_cast<size_t>(at_ - start_); }

  bool Take(size_t n, Bytes& out) {
    if (n > Left()) return false;
    out = {at_, n};
    at_ += n;
    return true;
  }
  bool Skip(size_t n) {
    Bytes ignored;
    return Take(n, ignored);
  }
  bool U8(uint8_t& v) {
    if (Left() < 1) return false;
    v = *at_++;
    return true;
  }
  bool Peek(uint8_t& v) const {
    if (Left() < 1) return false;
    v = *at_;
    return true;
  }
  bool U16BE(uint16_t& v) { return Number(2, true, v); }
  bool U32BE(uint32_t& v) { return Number(4, true, v); }
  bool U16LE(uint16_t& v) { return Number(2, false, v); }
  bool U32LE(uint32_t& v) { return Number(4, false, v); }
  bool I32LE(int32_t& v) {
    uint32_t u = 0;
    if (!U32LE(u)) return false;
    v = static_cast<int32_t>(u);
    return true;
  }

 private:
  template <typename T>
  bool Number(size_t size, bool bigEndian, T& v) {
    Bytes b;
    if (!Take(size, b)) return false;
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) value = value << 8 | b[bigEndian ? i : size - 1 - i];
    v = static_cast<T>(value);
    return true;
  }

  const unsigned char* at_;
  const unsigned char* start_;
  const unsigned char* end_;
};

bool StartsWith(Bytes bytes, const char* text, size_t length) {
  return bytes.size() >= length && std::memcmp(bytes.data(), text, length) == 0;
}

// --- PNG ---------------------------------------------------------------------------------------

uint32_t Crc32(Bytes a, Bytes b) {
  uint32_t crc = 0xFFFFFFFFu;
  for (Bytes part : {a, b}) {
    for (unsigned char byte : part) {
      crc ^= byte;
      for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
  }
  return ~crc;
}

bool ValidDepth(uint8_t colourType, uint8_t depth) {
  switch (colourType) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2: case 4: case 6: return depth == 8 || depth == 16;
    default: return false;
  }
}

std::string ReadHeaderChunk(Bytes data, PngFacts& facts) {
  Cursor c(data);
  uint8_t compression = 0, filter = 0;
  if (data.size() != 13 || !c.U32BE(facts.width) || !c.U32BE(facts.height) || !c.U8(facts.bitDepth) ||
      !c.U8(facts.colourType) || !c.U8(compression) || !c.U8(filter) || !c.U8(facts.interlace)) {
    return "IHDR is " + std::to_string(data.size()) + " bytes, not 13";
  }
  if (facts.width == 0 || facts.height == 0 || facts.width > 0x7FFFFFFFu || facts.height > 0x7FFFFFFFu) {
    return "IHDR size " + std::to_string(facts.width) + " x " + std::to_string(facts.height) + " is out of range";
  }
  if (!ValidDepth(facts.colourType, facts.bitDepth)) {
    return "colour type " + std::to_string(facts.colourType) + " with bit depth " + std::to_string(facts.bitDepth);
  }
  if (compression != 0 || filter != 0 || facts.interlace > 1) return "unknown compression, filter or interlace method";
  return {};
}

}  // namespace

std::string ReadPng(Bytes bytes, PngFacts& facts) {
  facts = {};
  Cursor c(bytes);
  Bytes signature;
  if (!c.Take(8, signature) || !StartsWith(signature, "\x89PNG\r\n\x1a\n", 8)) return "no PNG signature";
  bool ended = false;
  for (bool first = true; !ended; first = false) {
    uint32_t length = 0, crc = 0;
    Bytes type, data;
    if (!c.U32BE(length) || !c.Take(4, type)) return "chunk header cut off at " + std::to_string(c.Offset());
    const std::string name(reinterpret_cast<const char*>(type.data()), 4);
    if (length > 0x7FFFFFFFu || !c.Take(length, data) || !c.U32BE(crc)) return "chunk " + name + " runs past the end";
    if (Crc32(type, data) != crc) return "chunk " + name + " has a wrong CRC";
    if (first != (name == "IHDR")) return first ? "first chunk is " + name + ", not IHDR" : "a second IHDR";
    if (first) {
      if (std::string why = ReadHeaderChunk(data, facts); !why.empty()) return why;
    } else if (name == "IDAT") {
      ++facts.dataChunks;
    } else if (name == "IEND") {
      if (length != 0) return "IEND with data";
      ended = true;
    }
  }
  if (c.Left() != 0) return std::to_string(c.Left()) + " bytes after IEND";
  if (facts.dataChunks == 0) return "no IDAT chunk";
  return {};
}

// --- JPEG --------------------------------------------------------------------------------------

namespace {

bool IsFrameMarker(uint8_t m) { return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC; }
bool IsRestartMarker(uint8_t m) { return m >= 0xD0 && m <= 0xD7; }

std::string Hex(uint8_t marker) {
  const char digits[] = "0123456789ABCDEF";
  return std::string("FF") + digits[marker >> 4] + digits[marker & 15];
}

std::string ReadFrame(uint8_t marker, Bytes payload, JpegFacts& facts) {
  if (facts.baselineFrames + facts.progressiveFrames + facts.otherFrames > 0) return "a second frame header";
  Cursor p(payload);
  if (!p.U8(facts.precision) || !p.U16BE(facts.height) || !p.U16BE(facts.width) || !p.U8(facts.components) ||
      p.Left() != 3u * facts.components) {
    return "frame header " + Hex(marker) + " of " + std::to_string(payload.size()) +
           " bytes does not fit its components";
  }
  if (facts.components == 0) return "frame without components";
  if (marker == 0xC0) {
    if (facts.precision != 8) return "baseline frame with precision " + std::to_string(facts.precision);
    ++facts.baselineFrames;
  } else if (marker == 0xC2) {
    ++facts.progressiveFrames;
  } else {
    ++facts.otherFrames;
  }
  return {};
}

// Entropy-coded data runs until a marker other than a stuffed zero or a restart marker; the
// cursor is left just after that marker's FF.
bool SkipScanData(Cursor& c) {
  for (;;) {
    uint8_t v = 0, next = 0;
    if (!c.U8(v)) return false;
    if (v != 0xFF) continue;
    if (!c.Peek(next)) return false;
    if (next == 0x00 || IsRestartMarker(next)) {
      c.Skip(1);
      continue;
    }
    return true;
  }
}

}  // namespace

std::string ReadJpeg(Bytes bytes, JpegFacts& facts) {
  facts = {};
  Cursor c(bytes);
  uint16_t soi = 0;
  if (!c.U16BE(soi) || soi != 0xFFD8) return "no SOI marker";
  bool markerRead = false;  // SkipScanData consumed the FF of the next marker
  for (bool first = true;; first = false) {
    uint8_t ff = 0xFF, marker = 0;
    if (!markerRead && !c.U8(ff)) return "cut off before EOI";
    markerRead = false;
    if (ff != 0xFF) return "no marker at offset " + std::to_string(c.Offset() - 1);
    do {
      if (!c.U8(marker)) return "cut off inside a marker";
    } while (marker == 0xFF);
    if (marker == 0xD9) break;
    if (marker == 0x00 || marker == 0x01 || marker == 0xD8 || IsRestartMarker(marker)) {
      return "marker " + Hex(marker) + " out of place";
    }
    uint16_t length = 0;
    Bytes payload;
    if (!c.U16BE(length) || length < 2 || !c.Take(length - 2u, payload)) {
      return "segment " + Hex(marker) + " runs past the end";
    }
    if (first) facts.jfif = marker == 0xE0 && payload.size() >= 14 && StartsWith(payload, "JFIF\0", 5);
    if (IsFrameMarker(marker)) {
      if (std::string why = ReadFrame(marker, payload, facts); !why.empty()) return why;
    } else if (marker == 0xDA) {
      if (facts.components == 0) return "scan before the frame header";
      ++facts.scans;
      if (!SkipScanData(c)) return "scan data runs past the end";
      markerRead = true;
    }
  }
  if (c.Left() != 0) return std::to_string(c.Left()) + " bytes after EOI";
  if (facts.components == 0) return "no frame header";
  if (facts.scans == 0) return "no scan";
  return {};
}

// --- ICO ---------------------------------------------------------------------------------------

namespace {

struct IconEntry {
  uint8_t width, height, colours, reserved;
  uint16_t planes, bitCount;
  uint32_t bytesInRes, imageOffset;
};

// The BMP form of one icon image: BITMAPINFOHEADER, palette, colour rows, then AND-mask rows,
// every row padded to 32 bits.
std::string ReadIconBitmap(Bytes image, const IconEntry& entry, int index, IcoFacts& facts) {
  const std::string which = "image " + std::to_string(index + 1) + ": ";
  if (StartsWith(image, "\x89PNG", 4)) return which + "PNG form, not BMP form";
  Cursor c(image);
  uint32_t headerSize = 0, sizeImage = 0, coloursUsed = 0, compression = 0;
  int32_t width = 0, height = 0;
  uint16_t planes = 0, bitCount = 0;
  if (!c.U32LE(headerSize) || !c.I32LE(width) || !c.I32LE(height) || !c.U16LE(planes) || !c.U16LE(bitCount) ||
      !c.U32LE(compression) || !c.U32LE(sizeImage) || !c.Skip(8) || !c.U32LE(coloursUsed) || !c.Skip(4)) {
    return which + "bitmap header cut off";
  }
  if (headerSize != 40) return which + "bitmap header of " + std::to_string(headerSize) + " bytes, not 40";
  const int entryWidth = entry.width ? entry.width : 256, entryHeight = entry.height ? entry.height : 256;
  if (width != entryWidth || height != 2 * entryHeight) {
    return which + "bitmap is " + std::to_string(width) + " x " + std::to_string(height) + ", entry says " +
           std::to_string(entryWidth) + " x " + std::to_string(entryHeight) + " (height doubled for the mask)";
  }
  if (planes != 1 || compression != 0) return which + "bitmap planes or compression are not 1 and BI_RGB";
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) {
    return which + "bitmap with " + std::to_string(bitCount) + " bits per pixel";
  }
  if (entry.bitCount != 0 && entry.bitCount != bitCount) return which + "entry and bitmap disagree on bits per pixel";
  const uint64_t paletteSize = bitCount <= 8 ? 4ull * (coloursUsed ? coloursUsed : 1u << bitCount) : 0;
  const uint64_t colourRows = (uint64_t{static_cast<uint32_t>(width)} * bitCount + 31) / 32 * 4 * entryHeight;
  const uint64_t maskRows = (uint64_t{static_cast<uint32_t>(width)} + 31) / 32 * 4 * entryHeight;
  const uint64_t needed = 40 + paletteSize + colourRows + maskRows;
  if (needed != entry.bytesInRes) {
    return which + "entry says " + std::to_string(entry.bytesInRes) + " bytes, the bitmap needs " +
           std::to_string(needed);
  }
  if (sizeImage != 0 && sizeImage != colourRows + maskRows) return which + "biSizeImage disagrees with the rows";
  if (index == 0) {
    facts.width = entryWidth;
    facts.height = entryHeight;
    facts.bitCount = entry.bitCount;
    facts.bytesInRes = entry.bytesInRes;
    facts.imageOffset = entry.imageOffset;
    facts.bmpWidth = width;
    facts.bmpHeight = height;
    facts.bmpBitCount = bitCount;
    facts.bmpCompression = compression;
  }
  return {};
}

}  // namespace

std::string ReadIco(Bytes bytes, IcoFacts& facts) {
  facts = {};
  Cursor c(bytes);
  uint16_t reserved = 0, type = 0, count = 0;
  if (!c.U16LE(reserved) || !c.U16LE(type) || !c.U16LE(count)) return "icon directory cut off";
  if (reserved != 0 || type != 1) return "not an icon directory (reserved 0, type 1)";
  if (count == 0) return "icon without images";
  const uint64_t directoryEnd = 6 + 16ull * count;
  uint64_t imagesEnd = directoryEnd;
  for (int i = 0; i < count; ++i) {
    IconEntry e{};
    if (!c.U8(e.width) || !c.U8(e.height) || !c.U8(e.colours) || !c.U8(e.reserved) || !c.U16LE(e.planes) ||
        !c.U16LE(e.bitCount) || !c.U32LE(e.bytesInRes) || !c.U32LE(e.imageOffset)) {
      return "directory entry " + std::to_string(i + 1) + " cut off";
    }
    if (e.imageOffset < directoryEnd || e.imageOffset > bytes.size() || e.bytesInRes > bytes.size() - e.imageOffset) {
      return "image " + std::to_string(i + 1) + " does not lie between the directory and the end";
    }
    const Bytes image = bytes.subspan(e.imageOffset, e.bytesInRes);
    if (std::string why = ReadIconBitmap(image, e, i, facts); !why.empty()) return why;
    if (e.imageOffset + uint64_t{e.bytesInRes} > imagesEnd) imagesEnd = e.imageOffset + uint64_t{e.bytesInRes};
  }
  if (imagesEnd != bytes.size()) return std::to_string(bytes.size() - imagesEnd) + " bytes after the last image";
  facts.images = count;
  return {};
}
