// Icon files: the file's directory is turned into the form of a group-icon resource, so that
// the system's own best-fit choice picks the image; the image then becomes the icon. Cursor
// files: the image nearest the system's cursor size, behind its hot spot. Where the images lie
// is read and checked by icon_layout.
#include "runtime/units/icon_file.h"

#include <vector>

#include "runtime/units/icon_layout.h"

OwnedIcon IconFromFile(std::span<const unsigned char> file, int size) {
  const std::vector<IconFileEntry> entries = ReadIconDirectory(file, kIconFile);
  if (entries.empty()) return {};
  std::vector<unsigned char> group = GroupIconDirectory(entries);
  const int id = LookupIconIdFromDirectoryEx(group.data(), TRUE, size, size, LR_DEFAULTCOLOR);
  if (id < 1 || id > static_cast<int>(entries.size())) return {};
  const IconFileEntry& chosen = entries[static_cast<size_t>(id - 1)];
  // A copy of its own: the resource reader wants the image aligned.
  const std::span<const unsigned char> bytes = EntryImage(file, chosen);
  std::vector<unsigned char> image(bytes.begin(), bytes.end());
  return OwnedIcon(CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE, 0x00030000, size,
                                            size, LR_DEFAULTCOLOR));
}

OwnedIcon CursorFromFile(std::span<const unsigned char> file) {
  const std::vector<IconFileEntry> entries = ReadIconDirectory(file, kCursorFile);
  if (entries.empty()) return {};
  const IconFileEntry& chosen = entries[NearestCursorEntry(entries, GetSystemMetrics(SM_CXCURSOR))];
  std::vector<unsigned char> resource = CursorResource(file, chosen);
  return OwnedIcon(CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()), FALSE, 0x00030000,
                                            0, 0, LR_DEFAULTCOLOR));
}
