// Icon files: the file's directory is turned into the form of a group-icon resource, so that
// the system's own best-fit choice picks the image; the image then becomes the icon. Cursor
// files: the image nearest the system's cursor size, behind its hot spot.
#include "runtime/units/icon_file.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

#pragma pack(push, 1)
struct FileDirectory {
  WORD reserved;
  WORD type;  // 1: icon, 2: cursor
  WORD count;
};
struct FileEntry {
  BYTE width, height, colourCount, reserved;
  WORD planes, bitCount;  // a cursor file's hot spot, x and y
  DWORD bytes, offset;
};
struct ResourceEntry {
  BYTE width, height, colourCount, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;  // the file's entry index + 1
};
#pragma pack(pop)

// The file's directory when it is one of this type (1 icon, 2 cursor): its entries, each naming
// an image that lies within the file. Empty otherwise.
std::vector<FileEntry> ReadDirectory(std::span<const unsigned char> file, WORD type) {
  FileDirectory directory{};
  if (file.size() < sizeof directory) return {};
  std::memcpy(&directory, file.data(), sizeof directory);
  if (directory.reserved != 0 || directory.type != type || directory.count == 0 ||
      (file.size() - sizeof directory) / sizeof(FileEntry) < directory.count)
    return {};
  std::vector<FileEntry> entries(directory.count);
  std::memcpy(entries.data(), file.data() + sizeof directory, entries.size() * sizeof(FileEntry));
  for (const FileEntry& e : entries)
    if (e.bytes == 0 || e.offset > file.size() || e.bytes > file.size() - e.offset) return {};
  return entries;
}

// A width of 0 in a directory entry stands for 256.
int EntryWidth(const FileEntry& entry) { return entry.width ? entry.width : 256; }

}  // namespace

OwnedIcon IconFromFile(std::span<const unsigned char> file, int size) {
  const std::vector<FileEntry> entries = ReadDirectory(file, 1);
  if (entries.empty()) return {};
  const FileDirectory directory{0, 1, static_cast<WORD>(entries.size())};
  std::vector<unsigned char> group(sizeof directory + entries.size() * sizeof(ResourceEntry));
  std::memcpy(group.data(), &directory, sizeof directory);
  for (size_t i = 0; i < entries.size(); ++i) {
    const FileEntry& e = entries[i];
    const ResourceEntry r{e.width, e.height, e.colourCount, e.reserved, e.planes, e.bitCount, e.bytes,
                          static_cast<WORD>(i + 1)};
    std::memcpy(group.data() + sizeof directory + i * sizeof r, &r, sizeof r);
  }
  const int id = LookupIconIdFromDirectoryEx(group.data(), TRUE, size, size, LR_DEFAULTCOLOR);
  if (id < 1 || id > static_cast<int>(entries.size())) return {};
  const FileEntry& chosen = entries[static_cast<size_t>(id - 1)];
  std::vector<unsigned char> image(file.begin() + chosen.offset, file.begin() + chosen.offset + chosen.bytes);
  return OwnedIcon(CreateIconFromResourceEx(image.data(), chosen.bytes, TRUE, 0x00030000, size, size,
                                            LR_DEFAULTCOLOR));
}

OwnedIcon CursorFromFile(std::span<const unsigned char> file) {
  const std::vector<FileEntry> entries = ReadDirectory(file, 2);
  if (entries.empty()) return {};
  const int wanted = GetSystemMetrics(SM_CXCURSOR);
  const FileEntry& chosen = *std::min_element(entries.begin(), entries.end(), [wanted](const auto& a, const auto& b) {
    return std::abs(EntryWidth(a) - wanted) < std::abs(EntryWidth(b) - wanted);
  });
  // A cursor resource is the image after its hot spot, which the file keeps in the entry's
  // planes and bit-count words.
  std::vector<unsigned char> resource(2 * sizeof(WORD));
  std::memcpy(resource.data(), &chosen.planes, sizeof(WORD));
  std::memcpy(resource.data() + sizeof(WORD), &chosen.bitCount, sizeof(WORD));
  resource.insert(resource.end(), file.begin() + chosen.offset, file.begin() + chosen.offset + chosen.bytes);
  return OwnedIcon(CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()), FALSE, 0x00030000,
                                            0, 0, LR_DEFAULTCOLOR));
}
