// libFuzzer entry: any bytes read as a BMP file, an icon file and a cursor file. Everything a
// reader accepts is read through to the end, as the system would read it, so that under the
// sanitizers a span outside the input fails; and what the system would read must lie within what
// the reader hands it (system_reads.h).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "runtime/units/dib_layout.h"
#include "runtime/units/icon_layout.h"
#include "tests/runtime/units/system_reads.h"

namespace {

volatile unsigned sink;

void ReadThrough(std::span<const unsigned char> bytes) {
  unsigned sum = 0;
  for (const unsigned char b : bytes) sum += b;
  sink = sum;
}

void Require(bool holds) {
  if (!holds) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const unsigned char> bytes(data, size);
  if (const std::optional<BmpLayout> bmp = ReadBmpFile(bytes)) {
    ReadThrough(bmp->info);
    ReadThrough(bmp->pixels);
    Require(system_reads::BitmapInfoReach(bmp->info) <= double(bmp->info.size()));
    Require(double(bmp->pixels.size()) == system_reads::PixelReach(bmp->info));
  }
  for (const uint16_t type : {kIconFile, kCursorFile}) {
    const std::vector<IconFileEntry> entries = ReadIconDirectory(bytes, type);
    if (entries.empty()) continue;
    for (const IconFileEntry& entry : entries) {
      const std::span<const unsigned char> image = EntryImage(bytes, entry);
      ReadThrough(image);
      Require(system_reads::IconImageReach(image) <= double(image.size()));
      if (type == kCursorFile) Require(CursorResource(bytes, entry).size() == image.size() + 4);
    }
    const std::vector<unsigned char> group = GroupIconDirectory(entries);
    Require(group.size() == 6 + 14 * entries.size());
    Require(NearestCursorEntry(entries, 32) < entries.size());
  }
  return 0;
}
