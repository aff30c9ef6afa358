// How far the system reads into what the picture readers hand it: a BITMAPINFO given to
// CreateDIBSection, and an icon or cursor image given to CreateIconFromResourceEx. The tests and
// the fuzzer hold the readers to these reaches; sizes are doubles so that no header can make
// them wrap.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <span>

#include "runtime/units/dib_layout.h"

namespace system_reads {

inline DibHeader HeaderOf(std::span<const unsigned char> bytes) {
  DibHeader header{};
  std::memcpy(&header, bytes.data(), std::min(bytes.size(), sizeof header));
  return header;
}

// Colour table entries: as many as the header says it uses, else all that its depth can index.
inline double TableEntries(const DibHeader& header) {
  if (header.coloursUsed) return header.coloursUsed;
  return header.bitCount <= 8 ? double(uint32_t{1} << header.bitCount) : 0;
}

inline double RowBytes(double width, double bitCount) {
  return double(DibStride(int64_t(std::fabs(width)), int64_t(bitCount)));
}

// A BITMAPINFO: the header as long as it says; bit-field masks after a 40-byte header, or in the
// first 52 bytes of a longer one; then the colour table.
inline double BitmapInfoReach(std::span<const unsigned char> info) {
  const DibHeader h = HeaderOf(info);
  double reach = std::max<double>(h.size, sizeof h);
  if (h.compression == kDibBitFields) reach = h.size == sizeof h ? reach + 12 : std::max(reach, 52.0);
  return reach + 4 * TableEntries(h);
}

// The pixel rows of the BITMAPINFO's bitmap.
inline double PixelReach(std::span<const unsigned char> info) {
  const DibHeader h = HeaderOf(info);
  return RowBytes(h.width, h.bitCount) * (h.height < 0 ? -double(h.height) : double(h.height));
}

// The three colour masks of a bit-field BITMAPINFO: at byte 40 either way, after a 40-byte
// header or inside a longer one.
inline void MasksOf(std::span<const unsigned char> info, uint32_t (&masks)[3]) {
  std::memcpy(masks, info.data() + sizeof(DibHeader), sizeof masks);
}

// An icon image: a PNG file is read within its length; a DIB image is its header, its colour
// table, then colour rows and mask rows, each half of the header's height.
inline double IconImageReach(std::span<const unsigned char> image) {
  static constexpr unsigned char kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (image.size() >= sizeof kPng && std::memcmp(image.data(), kPng, sizeof kPng) == 0) return double(image.size());
  const DibHeader h = HeaderOf(image);
  const double rows = std::floor(std::fabs(double(h.height)) / 2);
  return std::max<double>(h.size, sizeof h) + 4 * TableEntries(h) + RowBytes(h.width, h.bitCount) * rows +
         RowBytes(h.width, 1) * rows;
}

}  // namespace system_reads
