// Icon files: the file's directory is turned into the form of a group-icon resource, so that
// the system's own best-fit choice picks the image; the image then becomes the icon.
#include "runtime/units/icon_file.h"

#include <cstring>
#include <vector>

namespace {

#pragma pack(push, 1)
struct FileDirectory {
  WORD reserved;
  WORD type;  // 1: icon
  WORD count;
};
struct FileEntry {
  BYTE width, height, colourCount, reserved;
  WORD planes, bitCount;
  DWORD bytes, offset;
};
struct ResourceEntry {
  BYTE width, height, colourCount, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;  // the file's entry index + 1
};
#pragma pack(pop)

}  // namespace

OwnedIcon IconFromFile(std::span<const unsigned char> file, int size) {
  FileDirectory directory{};
  if (file.size() < sizeof directory) return {};
  std::memcpy(&directory, file.data(), sizeof directory);
  if (directory.reserved != 0 || directory.type != 1 || directory.count == 0 ||
      (file.size() - sizeof directory) / sizeof(FileEntry) < directory.count)
    return {};
  std::vector<FileEntry> entries(directory.count);
  std::memcpy(entries.data(), file.data() + sizeof directory, entries.size() * sizeof(FileEntry));

  std::vector<unsigned char> group(sizeof directory + entries.size() * sizeof(ResourceEntry));
  std::memcpy(group.data(), &directory, sizeof directory);
  for (size_t i = 0; i < entries.size(); ++i) {
    const FileEntry& e = entries[i];
    if (e.bytes == 0 || e.offset > file.size() || e.bytes > file.size() - e.offset) return {};
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
