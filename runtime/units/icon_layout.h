// Where the images of Windows icon (.ico) and cursor (.cur) files lie, read without the Windows
// headers so that the checks also run natively (tests, fuzzing).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// One entry of the file's directory (ICONDIRENTRY).
#pragma pack(push, 1)
struct IconFileEntry {
  uint8_t width, height, colourCount, reserved;
  uint16_t planes, bitCount;  // a cursor file's hot spot, x and y
  uint32_t bytes, offset;
};
#pragma pack(pop)
static_assert(sizeof(IconFileEntry) == 16);

constexpr uint16_t kIconFile = 1, kCursorFile = 2;

// The file's directory when it is one of this type: its entries, each naming an image that lies
// within the file and holds all that the system reads of it (a PNG file, or a DIB with its colour
// table, colour rows and mask rows). Empty otherwise.
std::vector<IconFileEntry> ReadIconDirectory(std::span<const unsigned char> file, uint16_t type);

// The entry's image bytes; the entry comes from ReadIconDirectory on the same file.
std::span<const unsigned char> EntryImage(std::span<const unsigned char> file, const IconFileEntry& entry);

// The directory in the form of a group-icon resource (GRPICONDIR), entry i with the id i + 1,
// for LookupIconIdFromDirectoryEx.
std::vector<unsigned char> GroupIconDirectory(const std::vector<IconFileEntry>& entries);

// A cursor resource as CreateIconFromResourceEx takes it: the entry's hot spot (which the file
// keeps in the planes and bit-count words), then the image.
std::vector<unsigned char> CursorResource(std::span<const unsigned char> file, const IconFileEntry& entry);

// The index of the entry whose width is nearest `wanted` (the first of equals); entries not empty.
size_t NearestCursorEntry(const std::vector<IconFileEntry>& entries, int wanted);
