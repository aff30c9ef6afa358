// Icon and cursor file directories: each entry's image checked to lie within the file.
#include "runtime/units/icon_layout.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "runtime/units/dib_layout.h"
#include "runtime/units/jpeg_decoder.h"

namespace {

#pragma pack(push, 1)
struct FileDirectory {  // ICONDIR
  uint16_t reserved;
  uint16_t type;
  uint16_t count;
};
struct ResourceEntry {  // GRPICONDIRENTRY
  uint8_t width, height, colourCount, reserved;
  uint16_t planes, bitCount;
  uint32_t bytes;
  uint16_t id;
};
#pragma pack(pop)

// An image that CreateIconFromResourceEx reads within its bytes: a PNG file (its decoder is held
// to the length), or a DIB whose 40-byte header is followed by the colour table, the colour rows
// and the mask rows (the header's height counts both), all inside. Sizes in 64 bits.
bool ImageWithin(std::span<const unsigned char> image) {
  static constexpr unsigned char kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (image.size() >= sizeof kPngSignature && std::memcmp(image.data(), kPngSignature, sizeof kPngSignature) == 0)
    return true;
  DibHeader h{};
  if (image.size() < sizeof h) return false;
  std::memcpy(&h, image.data(), sizeof h);
  const int64_t width = h.width, rows = h.height / 2;
  const int bits = h.bitCount;
  if (h.size != sizeof h || width <= 0 || h.height <= 0 || h.height % 2 != 0 || width * rows > kMaxPicturePixels ||
      h.planes != 1 || h.compression != kDibRgb || !KnownDibDepth(bits))
    return false;
  // A table is read for as many colours as the header says it uses, whatever the depth.
  const int64_t colours = h.coloursUsed ? h.coloursUsed : bits <= 8 ? int64_t{1} << bits : 0;
  if (colours > 256) return false;
  const int64_t needed = int64_t{sizeof h} + colours * 4 + DibStride(width, bits) * rows + DibStride(width, 1) * rows;
  return needed <= static_cast<int64_t>(image.size());
}

// A width of 0 in a directory entry stands for 256.
int EntryWidth(const IconFileEntry& entry) { return entry.width ? entry.width : 256; }

}  // namespace

std::vector<IconFileEntry> ReadIconDirectory(std::span<const unsigned char> file, uint16_t type) {
  FileDirectory directory{};
  if (file.size() < sizeof directory) return {};
  std::memcpy(&directory, file.data(), sizeof directory);
  if (directory.reserved != 0 || directory.type != type || directory.count == 0 ||
      (file.size() - sizeof directory) / sizeof(IconFileEntry) < directory.count)
    return {};
  std::vector<IconFileEntry> entries(directory.count);
  std::memcpy(entries.data(), file.data() + sizeof directory, entries.size() * sizeof(IconFileEntry));
  for (const IconFileEntry& e : entries)
    if (e.bytes == 0 || e.offset > file.size() || e.bytes > file.size() - e.offset || !ImageWithin(EntryImage(file, e)))
      return {};
  return entries;
}

std::span<const unsigned char> EntryImage(std::span<const unsigned char> file, const IconFileEntry& entry) {
  return file.subspan(entry.offset, entry.bytes);
}

std::vector<unsigned char> GroupIconDirectory(const std::vector<IconFileEntry>& entries) {
  const FileDirectory directory{0, kIconFile, static_cast<uint16_t>(entries.size())};
  std::vector<unsigned char> group(sizeof directory + entries.size() * sizeof(ResourceEntry));
  std::memcpy(group.data(), &directory, sizeof directory);
  for (size_t i = 0; i < entries.size(); ++i) {
    const IconFileEntry& e = entries[i];
    const ResourceEntry r{e.width, e.height, e.colourCount, e.reserved, e.planes, e.bitCount, e.bytes,
                          static_cast<uint16_t>(i + 1)};
    std::memcpy(group.data() + sizeof directory + i * sizeof r, &r, sizeof r);
  }
  return group;
}

std::vector<unsigned char> CursorResource(std::span<const unsigned char> file, const IconFileEntry& entry) {
  std::vector<unsigned char> resource(2 * sizeof(uint16_t));
  std::memcpy(resource.data(), &entry.planes, sizeof(uint16_t));
  std::memcpy(resource.data() + sizeof(uint16_t), &entry.bitCount, sizeof(uint16_t));
  const std::span<const unsigned char> image = EntryImage(file, entry);
  resource.insert(resource.end(), image.begin(), image.end());
  return resource;
}

size_t NearestCursorEntry(const std::vector<IconFileEntry>& entries, int wanted) {
  const auto nearest = std::min_element(entries.begin(), entries.end(), [wanted](const auto& a, const auto& b) {
    return std::abs(EntryWidth(a) - wanted) < std::abs(EntryWidth(b) - wanted);
  });
  return static_cast<size_t>(nearest - entries.begin());
}
